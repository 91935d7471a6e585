#include "VeskKit/System/VeskReopenStudioWindowNotifier.h"

VeskReopenStudioWindowNotifier* VeskReopenStudioWindowNotifier::shared()
{
    // Never destroyed: receivers may still disconnect while the process ends.
    static VeskReopenStudioWindowNotifier* const instance = new VeskReopenStudioWindowNotifier;
    return instance;
}

void VeskReopenStudioWindowNotifier::post()
{
    emit shared()->veskReopenStudioWindow();
}
