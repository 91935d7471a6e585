#include "VeskKit/Localization/VeskText.h"

#include "VeskKit/Localization/VeskLocalizationStore.h"

QString veskText(const QString &en, const QString &tr, const std::optional<QString> &key,
                 VeskLanguage language)
{
    return VeskLocalizationStore::shared().resolve(key, en, tr, language);
}

QString veskText(const QString &en, const QString &tr, VeskLanguage language)
{
    return VeskLocalizationStore::shared().resolve(std::nullopt, en, tr, language);
}
