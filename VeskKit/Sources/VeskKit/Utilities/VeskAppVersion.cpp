#include "VeskKit/Utilities/VeskAppVersion.h"

#include <QMetaType>

namespace {

QString entryOrFallback(const VeskBundle& bundle, const QString& key, const QString& fallback)
{
    const QVariant value = bundle.object(key);
    if (value.typeId() != QMetaType::QString)
        return fallback;
    const QString trimmed = value.toString().trimmed();
    return trimmed.isEmpty() ? fallback : trimmed;
}

} // namespace

VeskAppVersion::VeskAppVersion(const QString& shortVersion, const QString& buildNumber)
    : shortVersion(shortVersion), buildNumber(buildNumber)
{
}

VeskAppVersion VeskAppVersion::current(const VeskBundle& bundle, const QString& fallbackVersion, const QString& fallbackBuild)
{
    return VeskAppVersion(entryOrFallback(bundle, QStringLiteral("CFBundleShortVersionString"), fallbackVersion),
                          entryOrFallback(bundle, QStringLiteral("CFBundleVersion"), fallbackBuild));
}

QString VeskAppVersion::tag() const
{
    return u'v' + shortVersion;
}

QString VeskAppVersion::detailedDisplay() const
{
    return u'v' + shortVersion + QStringLiteral(" (") + buildNumber + u')';
}

std::optional<VeskSemVer> VeskAppVersion::semVer() const
{
    return VeskSemVer::parsing(shortVersion);
}
