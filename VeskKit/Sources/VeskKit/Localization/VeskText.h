#pragma once

#include "VeskKit/Localization/VeskLanguage.h"

#include <QString>

#include <optional>

// The text to show for `language`: English and Turkish come from the call
// site, every other language from its catalog (keyed by `key`, else by the
// English text), falling back to the parent language's catalog and then to
// English. A loaded custom pack overrides all of these.
QString veskText(const QString &en, const QString &tr, const std::optional<QString> &key,
                 VeskLanguage language);
QString veskText(const QString &en, const QString &tr, VeskLanguage language);
