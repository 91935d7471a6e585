#include "UserFolders.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QHash>

#include <cerrno>
#include <mutex>
#include <vector>

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The account's home from the password database, or empty.
QByteArray accountHome()
{
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? std::size_t(size) : 16384);
    struct passwd entry {};
    struct passwd *found = nullptr;
    int error = 0;
    while ((error = ::getpwuid_r(::getuid(), &entry, buffer.data(), buffer.size(), &found)) == ERANGE
           && buffer.size() < (std::size_t(1) << 20))
        buffer.resize(buffer.size() * 2);
    if (error != 0 || !found || !found->pw_dir)
        return {};
    return QByteArray(found->pw_dir);
}

// Each missing folder of `path` made, private to the user.
void makeFolders(const QByteArray &path)
{
    for (qsizetype slash = path.indexOf('/', 1); ; slash = path.indexOf('/', slash + 1)) {
        const QByteArray prefix = slash < 0 ? path : path.left(slash);
        if (!prefix.isEmpty())
            ::mkdir(prefix.constData(), 0700);
        if (slash < 0)
            return;
    }
}

QString baseFolder(const char *variable, const char *belowHome)
{
    const QByteArray value = qgetenv(variable);
    // The XDG rules ignore a relative path here.
    if (value.startsWith('/'))
        return UserFolders::reachablePath(value, true);
    return UserFolders::home() + QLatin1Char('/') + QLatin1StringView(belowHome);
}

} // namespace

namespace UserFolders {

QString home()
{
    QByteArray path = qgetenv("HOME");
    if (path.isEmpty())
        path = accountHome();
    if (path.isEmpty())
        return QDir::homePath();
    return reachablePath(path, false);
}

QString dataHome()
{
    return baseFolder("XDG_DATA_HOME", ".local/share");
}

QString configHome()
{
    return baseFolder("XDG_CONFIG_HOME", ".config");
}

QString cacheHome()
{
    return baseFolder("XDG_CACHE_HOME", ".cache");
}

QString reachablePath(const QByteArray &bytes, bool create)
{
    const QString decoded = QFile::decodeName(bytes);
    if (QFile::encodeName(decoded) == bytes)
        return decoded;

    static std::mutex lock;
    static QHash<QByteArray, QString> opened;
    const std::lock_guard guard(lock);
    if (const auto it = opened.constFind(bytes); it != opened.cend())
        return *it;
    if (create)
        makeFolders(bytes);
    // Kept open for the whole run: the path below names it.
    const int fd = ::open(bytes.constData(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return decoded;
    const QString path = QStringLiteral("/proc/%1/fd/%2").arg(::getpid()).arg(fd);
    struct stat viaProc {}, direct {};
    if (::stat(QFile::encodeName(path).constData(), &viaProc) != 0 || ::fstat(fd, &direct) != 0
        || viaProc.st_ino != direct.st_ino || viaProc.st_dev != direct.st_dev) {
        ::close(fd);
        return decoded;
    }
    opened.insert(bytes, path);
    return path;
}

} // namespace UserFolders
