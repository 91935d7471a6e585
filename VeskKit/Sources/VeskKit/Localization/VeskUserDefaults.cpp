#include "VeskKit/Localization/VeskUserDefaults.h"

#include "UserFolders.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>

namespace VeskUserDefaults {

QString filePath()
{
    QString application = QCoreApplication::applicationName();
    application.replace(QLatin1Char('/'), QLatin1Char('_'));
    if (application.isEmpty())
        application = QStringLiteral("VeskKit");
    return UserFolders::configHome() + QStringLiteral("/Quarnell/") + application + QStringLiteral(".ini");
}

std::optional<QString> string(const QString &key)
{
    const QVariant stored = value(key);
    if (stored.typeId() != QMetaType::QString)
        return std::nullopt;
    return stored.toString();
}

bool setString(const QString &key, const QString &value)
{
    return setValue(key, value);
}

QVariant value(const QString &key)
{
    const QSettings settings(filePath(), QSettings::IniFormat);
    return settings.value(key);
}

bool setValue(const QString &key, const QVariant &value)
{
    QSettings settings(filePath(), QSettings::IniFormat);
    settings.setValue(key, value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

} // namespace VeskUserDefaults
