#include "FolderLock.h"

#include <QDir>
#include <QFile>
#include <QThread>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace {

QString describe(const QString &what, int error)
{
    return what + QStringLiteral(": ") + QString::fromLocal8Bit(std::strerror(error));
}

} // namespace

FolderLock::~FolderLock()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

FolderLock::FolderLock(FolderLock &&other) noexcept
    : m_fd(std::exchange(other.m_fd, -1)), m_state(other.m_state), m_problem(std::move(other.m_problem))
{
}

FolderLock &FolderLock::operator=(FolderLock &&other) noexcept
{
    if (this != &other) {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = std::exchange(other.m_fd, -1);
        m_state = other.m_state;
        m_problem = std::move(other.m_problem);
    }
    return *this;
}

FolderLock FolderLock::take(const QString &folder, const QString &lockFileName, std::chrono::milliseconds wait)
{
    FolderLock lock;
    if (!QDir().mkpath(folder)) {
        lock.m_problem = QStringLiteral("the folder %1 cannot be created").arg(folder);
        return lock;
    }
    const QString path = QDir(folder).filePath(lockFileName);
    // Close-on-exec: a program started from here (a browser) must not keep
    // the lock alive after this process ends. Never a link followed or a
    // FIFO waited for.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0600);
    if (fd < 0) {
        lock.m_problem = describe(path, errno);
        return lock;
    }
    lock.m_fd = fd;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        lock.m_problem = QStringLiteral("%1 is not a regular file").arg(path);
        return lock;
    }
    const auto deadline = std::chrono::steady_clock::now() + wait;
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
            lock.m_state = State::held;
            return lock;
        }
        const int error = errno;
        if (error == EINTR)
            continue;
        if (error != EWOULDBLOCK) {
            lock.m_problem = describe(path, error);
            return lock;
        }
        // A copy that is ending still holds it for the moment it takes to exit.
        if (std::chrono::steady_clock::now() >= deadline) {
            lock.m_state = State::heldElsewhere;
            return lock;
        }
        QThread::msleep(25);
    }
}
