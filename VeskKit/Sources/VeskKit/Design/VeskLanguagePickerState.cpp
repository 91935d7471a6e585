#include "VeskKit/Design/VeskLanguagePickerState.h"

#include "VeskKit/Localization/VeskLanguage.h"

VeskLanguagePickerState::VeskLanguagePickerState(QObject *parent)
    : QObject(parent), m_isFollowingSystem(storedPreferenceFollowsSystem())
{
}

void VeskLanguagePickerState::setIsFollowingSystem(bool following)
{
    if (following == m_isFollowingSystem)
        return;
    m_isFollowingSystem = following;
    emit isFollowingSystemChanged(following);
}

void VeskLanguagePickerState::syncFromDefaults()
{
    setIsFollowingSystem(storedPreferenceFollowsSystem());
}

bool VeskLanguagePickerState::storedPreferenceFollowsSystem()
{
    return VeskLanguage::storedPreferenceCode().compare(VeskLanguage::systemPreferenceCode, Qt::CaseInsensitive) == 0;
}
