#include "SharedFile.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <climits>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <system_error>

namespace SharedFile {

namespace {

constexpr qint64 kLargestRead = qint64(1) << 40;

QString systemError(int error)
{
    return QString::fromStdString(std::generic_category().message(error));
}

} // namespace

Descriptor &Descriptor::operator=(Descriptor &&other) noexcept
{
    if (this != &other) {
        reset();
        m_fd = other.release();
    }
    return *this;
}

int Descriptor::release()
{
    const int fd = m_fd;
    m_fd = -1;
    return fd;
}

void Descriptor::reset()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

QString Failure::describe() const
{
    switch (kind) {
    case Kind::none:
        break;
    case Kind::missing:
        return QStringLiteral("does not exist");
    case Kind::cannotOpen:
        return QStringLiteral("cannot be opened: ") + systemError(error);
    case Kind::notRegular:
        return QStringLiteral("is not a regular file");
    case Kind::tooLarge:
        return QStringLiteral("is larger than %1 bytes").arg(maxBytes);
    case Kind::cannotRead:
        return QStringLiteral("cannot be read: ") + systemError(error);
    }
    return {};
}

Opened openRegular(const QString &path, int flags)
{
    Opened opened;
    const QByteArray name = QFile::encodeName(path);
    int fd;
    do {
        // Without O_NONBLOCK the open of a FIFO waits for the other end (and
        // a FIFO opened for writing with no reader fails with ENXIO).
        fd = ::open(name.constData(), (flags & ~O_CREAT) | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        struct stat target {};
        if (error == ENOENT) {
            opened.failure.kind = Failure::Kind::missing;
        } else if (error == ENXIO || (::stat(name.constData(), &target) == 0 && !S_ISREG(target.st_mode))) {
            opened.failure.kind = Failure::Kind::notRegular;
        } else {
            opened.failure.kind = Failure::Kind::cannotOpen;
            opened.failure.error = error;
        }
        return opened;
    }
    opened.file = Descriptor(fd);
    if (::fstat(fd, &opened.info) != 0) {
        opened.failure = Failure{Failure::Kind::cannotOpen, errno, 0};
        opened.file.reset();
    } else if (!S_ISREG(opened.info.st_mode)) {
        opened.failure.kind = Failure::Kind::notRegular;
        opened.file.reset();
    } else {
        // A regular file never blocks; clearing the flag keeps later reads
        // and writes ordinary ones.
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
    return opened;
}

Contents readReporting(const QString &path, qint64 maxBytes)
{
    Contents contents;
    maxBytes = qBound<qint64>(0, maxBytes, kLargestRead);
    Opened opened = openRegular(path, O_RDONLY);
    contents.info = opened.info;
    if (opened.failure) {
        contents.failure = opened.failure;
        return contents;
    }
    const int fd = opened.file.get();

    // One byte past the limit tells a file at the limit from a larger one,
    // whatever the size said before reading (a file may still grow).
    const qint64 wanted = maxBytes + 1;
    QByteArray data(qMin<qint64>(wanted, qMax<qint64>(opened.info.st_size + 1, 4096)), Qt::Uninitialized);
    qint64 filled = 0;
    for (;;) {
        if (filled == data.size()) {
            if (filled >= wanted)
                break;
            data.resize(qMin<qint64>(wanted, data.size() * 2));
        }
        const ssize_t n = ::read(fd, data.data() + filled, size_t(data.size() - filled));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            contents.failure = Failure{Failure::Kind::cannotRead, errno, 0};
            return contents;
        }
        if (n == 0)
            break;
        filled += n;
    }
    if (filled > maxBytes) {
        contents.failure = Failure{Failure::Kind::tooLarge, 0, maxBytes};
        return contents;
    }
    data.truncate(filled);
    contents.bytes = std::move(data);
    return contents;
}

std::optional<QByteArray> read(const QString &path, qint64 maxBytes)
{
    if (maxBytes < 0)
        return std::nullopt;
    return readReporting(path, maxBytes).bytes;
}

int writeAll(int fd, QByteArrayView bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, size_t(bytes.size() - done));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (n == 0)
            return EIO;
        done += n;
    }
    return 0;
}

int appendWhole(const Opened &opened, QByteArrayView bytes)
{
    const int fd = opened.file.get();
    const int error = writeAll(fd, bytes);
    struct stat after {};
    if (error != 0 && ::fstat(fd, &after) == 0 && after.st_size > opened.info.st_size) {
        [[maybe_unused]] const int ignored = ::ftruncate(fd, opened.info.st_size);
    }
    return error;
}

std::optional<struct stat> status(const QString &path)
{
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return st;
}

Created createWhole(const QString &path, QByteArrayView bytes)
{
    Created created;
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0) {
        created.failure = systemError(errno);
        return created;
    }
    created.opened = true;
    Descriptor file(fd);
    const int error = writeAll(fd, bytes);
    if (error != 0 || ::fsync(fd) != 0) {
        created.failure = systemError(error != 0 ? error : errno);
        file.reset();
        ::unlink(name.constData());
    }
    return created;
}

ReplaceSteps ReplaceSteps::system()
{
    ReplaceSteps steps;
    steps.write = &writeAll;
    steps.syncFile = [](int fd) { return ::fsync(fd); };
    steps.rename = [](const QByteArray &from, const QByteArray &to) {
        return ::rename(from.constData(), to.constData());
    };
    steps.syncFolder = &syncDirectory;
    return steps;
}

QString linkTarget(const QString &path)
{
    QString current = path;
    // As many links as the system itself follows; a longer chain is a loop,
    // which the write then reports as the system does.
    for (int hop = 0; hop < 40; ++hop) {
        const QByteArray name = QFile::encodeName(current);
        struct stat st {};
        if (::lstat(name.constData(), &st) != 0 || !S_ISLNK(st.st_mode))
            return current;
        QByteArray target(PATH_MAX, Qt::Uninitialized);
        const ssize_t length = ::readlink(name.constData(), target.data(), size_t(target.size()));
        if (length <= 0 || length >= target.size())
            return current;
        target.truncate(length);
        const QString next = QFile::decodeName(target);
        if (next.startsWith(u'/')) {
            current = next;
        } else {
            // Relative to the link's own folder, taken as written: cleaning
            // "../" away would be wrong where that folder is itself a link.
            const qsizetype slash = current.lastIndexOf(u'/');
            current = slash < 0 ? next : current.left(slash + 1) + next;
        }
    }
    return current;
}

Replaced replaceWhole(const QString &path, QByteArrayView bytes, const ReplaceSteps &steps)
{
    Replaced replaced;
    const QString target = linkTarget(path);
    const qsizetype slash = target.lastIndexOf(u'/');
    const QString folder = slash < 0 ? QStringLiteral(".") : slash == 0 ? QStringLiteral("/") : target.left(slash);
    const QByteArray finalName = QFile::encodeName(target);

    // The new file is made beside the one it replaces, so the rename stays
    // on one file system and in one folder.
    QByteArray temporaryName;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporaryName = finalName + ".tmp-" + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        fd = ::open(temporaryName.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) {
            replaced.failure = systemError(errno);
            return replaced;
        }
    }
    if (fd < 0) {
        replaced.failure = systemError(EEXIST);
        return replaced;
    }
    Descriptor file(fd);
    const auto abandon = [&](int error) {
        replaced.failure = systemError(error);
        file.reset();
        ::unlink(temporaryName.constData());
        return replaced;
    };
    struct stat old {};
    if (::stat(finalName.constData(), &old) == 0 && S_ISREG(old.st_mode))
        ::fchmod(fd, old.st_mode & 07777);

    if (const int error = steps.write(fd, bytes); error != 0)
        return abandon(error);
    if (steps.syncFile(fd) != 0 || ::fstat(fd, &replaced.info) != 0)
        return abandon(errno);
    if (steps.rename(temporaryName, finalName) != 0)
        return abandon(errno);
    file.reset();
    steps.syncFolder(folder);
    return replaced;
}

void syncDirectory(const QString &directory)
{
    const int fd = ::open(QFile::encodeName(directory).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
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
