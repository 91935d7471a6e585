#include "VeskKit/Localization/VeskLanguageSelection.h"

#include <QHashFunctions>

VeskLanguageSelection VeskLanguageSelection::current()
{
    if (VeskLanguage::storedPreferenceCode().compare(VeskLanguage::systemPreferenceCode,
                                                     Qt::CaseInsensitive)
        == 0)
        return system();
    return explicitLanguage(VeskLanguage::current());
}

VeskLanguage VeskLanguageSelection::resolvedLanguage() const
{
    return m_language ? *m_language : VeskLanguage::systemResolved();
}

size_t qHash(const VeskLanguageSelection &selection, size_t seed) noexcept
{
    if (const auto language = selection.language())
        return qHashMulti(seed, 1, language->rawValue());
    return qHashMulti(seed, 0);
}
