#include "MountedVolume.h"

#include <QFile>

#include <limits>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace MountedVolume {

namespace {

qint64 clampedProduct(unsigned long long count, unsigned long long unit)
{
    constexpr auto limit = static_cast<unsigned long long>(std::numeric_limits<qint64>::max());
    if (unit != 0 && count > limit / unit)
        return std::numeric_limits<qint64>::max();
    return static_cast<qint64>(count * unit);
}

} // namespace

QString userMediaFolder()
{
    const struct passwd *entry = ::getpwuid(::getuid());
    const QString user = entry && entry->pw_name ? QString::fromLocal8Bit(entry->pw_name)
                                                 : QString::fromLocal8Bit(qgetenv("USER"));
    return QStringLiteral("/media/") + user;
}

std::optional<VolumeSpace> spaceAt(const QString &path)
{
    if (path.isEmpty())
        return std::nullopt;
    const QByteArray native = QFile::encodeName(path);
    const QByteArray parent = QFile::encodeName(path + QStringLiteral("/.."));
    struct stat self {};
    struct stat above {};
    if (::stat(native.constData(), &self) != 0 || !S_ISDIR(self.st_mode))
        return std::nullopt;
    if (::stat(parent.constData(), &above) != 0)
        return std::nullopt;
    // A mount point lies on another device than its parent folder (or is the
    // root, which is its own parent).
    const bool isMountPoint = self.st_dev != above.st_dev || self.st_ino == above.st_ino;
    if (!isMountPoint)
        return std::nullopt;
    struct statvfs info {};
    if (::statvfs(native.constData(), &info) != 0)
        return std::nullopt;
    const unsigned long long unit = info.f_frsize != 0 ? info.f_frsize : info.f_bsize;
    return VolumeSpace{clampedProduct(info.f_blocks, unit), clampedProduct(info.f_bavail, unit)};
}

} // namespace MountedVolume
