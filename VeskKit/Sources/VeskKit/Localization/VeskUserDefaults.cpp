#include "VeskKit/Localization/VeskUserDefaults.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

namespace VeskUserDefaults {

QString filePath()
{
    QString application = QCoreApplication::applicationName();
    application.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (application.isEmpty())
        application = QStringLiteral("VeskKit");
    QString base = QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation);
    if (base.isEmpty())
        base = QDir::homePath() + QStringLiteral("/.config");
    return base + QStringLiteral("/Quarnell/") + application + QStringLiteral(".ini");
}

std::optional<QString> string(const QString &key)
{
    const QSettings settings(filePath(), QSettings::IniFormat);
    const QVariant value = settings.value(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

bool setString(const QString &key, const QString &value)
{
    QSettings settings(filePath(), QSettings::IniFormat);
    settings.setValue(key, value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace VeskUserDefaults
