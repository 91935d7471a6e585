#include "VeskKit/System/VeskBinaryLocator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <unistd.h>

namespace VeskBinaryLocator {

namespace {

QString joined(const QString& folder, const QString& name)
{
    // The name is joined unchanged, slashes and all; an empty folder is the
    // current one.
    if (folder.isEmpty())
        return name;
    if (folder.endsWith(u'/'))
        return folder + name;
    return folder + u'/' + name;
}

bool isExecutableFile(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile())
        return false;
    return ::access(QFile::encodeName(path).constData(), X_OK) == 0;
}

} // namespace

QStringList candidates(const QString& name, const VeskBundle& bundle, const QStringList& extraSearchDirectories)
{
    QStringList list;
    const QString& resources = bundle.resourceDirectory;
    if (!resources.isEmpty() && !resources.startsWith(u':')) {
        list.append(joined(resources, QStringLiteral("bin/") + name));
        list.append(joined(resources, name));
    }
    for (const QString& folder : extraSearchDirectories)
        list.append(joined(folder, name));
    for (const char* folder : {"/opt/homebrew/bin", "/usr/local/bin", "/usr/bin", "/bin"})
        list.append(joined(QLatin1String(folder), name));
    const QString path = qEnvironmentVariable("PATH");
    for (const QString& piece : path.split(u':', Qt::SkipEmptyParts))
        list.append(joined(piece, name));
    return list;
}

std::optional<QString> locate(const QString& name, const VeskBundle& bundle, const QStringList& extraSearchDirectories)
{
    for (const QString& candidate : candidates(name, bundle, extraSearchDirectories)) {
        if (isExecutableFile(candidate))
            return QFileInfo(candidate).absoluteFilePath();
    }
    return std::nullopt;
}

} // namespace VeskBinaryLocator
