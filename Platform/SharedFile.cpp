#include "SharedFile.h"

#include <QFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace SharedFile {

namespace {

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }

private:
    int m_fd;
};

int openForReading(const QByteArray &path)
{
    int fd;
    do {
        // Without O_NONBLOCK the open of a FIFO waits for a writer.
        fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

} // namespace

std::optional<QByteArray> read(const QString &path, qint64 maxBytes)
{
    if (maxBytes < 0)
        return std::nullopt;
    const Descriptor file(openForReading(QFile::encodeName(path)));
    if (file.get() < 0)
        return std::nullopt;
    struct stat info {};
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;

    // One byte past the limit tells a file at the limit from a larger one,
    // whatever the size said before reading (a file may still grow).
    const qint64 wanted = maxBytes + 1;
    QByteArray data(qMin<qint64>(wanted, qMax<qint64>(info.st_size + 1, 4096)), Qt::Uninitialized);
    qint64 filled = 0;
    for (;;) {
        if (filled == data.size()) {
            if (filled >= wanted)
                break;
            data.resize(qMin<qint64>(wanted, data.size() * 2));
        }
        const ssize_t n = ::read(file.get(), data.data() + filled, size_t(data.size() - filled));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (n == 0)
            break;
        filled += n;
    }
    if (filled > maxBytes)
        return std::nullopt;
    data.truncate(filled);
    return data;
}

bool renameWithoutReplacing(const QString &from, const QString &to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without the flag: a hard link is made only where nothing
    // is, and the old name goes once the new one holds the file.
    if (::link(source.constData(), target.constData()) != 0)
        return false;
    ::unlink(source.constData());
    return true;
}

} // namespace SharedFile
