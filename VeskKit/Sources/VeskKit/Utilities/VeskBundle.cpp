#include "VeskKit/Utilities/VeskBundle.h"

#include <QCoreApplication>
#include <QFileInfo>

QVariant VeskBundle::object(const QString& infoDictionaryKey) const
{
    return infoDictionary.value(infoDictionaryKey);
}

std::optional<QString> VeskBundle::url(const QString& resource, const QString& extension) const
{
    if (resourceDirectory.isEmpty())
        return std::nullopt;
    QString path = resourceDirectory;
    if (!path.endsWith(u'/'))
        path += u'/';
    path += resource;
    if (!extension.isEmpty())
        path += u'.' + extension;
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return std::nullopt;
    return path;
}

VeskBundle VeskBundle::main()
{
    VeskBundle bundle;
    // The version and build are fixed when the program is built.
    bundle.infoDictionary.insert(QStringLiteral("CFBundleShortVersionString"), QStringLiteral(VESK_APP_VERSION));
    bundle.infoDictionary.insert(QStringLiteral("CFBundleVersion"), QStringLiteral(VESK_APP_BUILD));
    if (QCoreApplication::instance()) {
        const QString name = QCoreApplication::applicationName();
        if (!name.isEmpty())
            bundle.infoDictionary.insert(QStringLiteral("CFBundleName"), name);
    }
    bundle.resourceDirectory = QStringLiteral(":/");
    return bundle;
}
