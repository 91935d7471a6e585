#include "VeskKit/Localization/VeskLanguageNotifier.h"

VeskLanguageNotifier *VeskLanguageNotifier::shared()
{
    // Never destroyed: receivers may still disconnect from it during exit.
    static VeskLanguageNotifier *const instance = new VeskLanguageNotifier;
    return instance;
}
