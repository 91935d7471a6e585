#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>
#include <optional>

#include <sys/stat.h>

// Reading and taking files in folders that other programs write to, or that
// a user may fill by hand. Such a folder may hold anything under an expected
// name: a FIFO whose writer never comes, a link to a device that never ends,
// a socket, a file far larger than any record. A reader on the GUI thread
// must neither wait for nor swallow them.
namespace SharedFile {

// An open file descriptor, closed with the object.
class Descriptor
{
public:
    Descriptor() = default;
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(Descriptor &&other) noexcept : m_fd(other.release()) {}
    Descriptor &operator=(Descriptor &&other) noexcept;
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;

    int get() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    int release();
    void reset();

private:
    int m_fd = -1;
};

// Why a file could not be opened or read.
struct Failure
{
    enum class Kind { none, missing, cannotOpen, notRegular, tooLarge, cannotRead };
    Kind kind = Kind::none;
    int error = 0;       // errno, for cannotOpen and cannotRead
    qint64 maxBytes = 0; // for tooLarge

    explicit operator bool() const { return kind != Kind::none; }
    // "is not a regular file", "cannot be opened: Permission denied", ...
    // to follow the file's name.
    QString describe() const;
};

struct Opened
{
    Descriptor file;  // open exactly when there is no failure
    struct stat info {};
    Failure failure;
};

// Opens the regular file at `path` (a link is followed) with `flags`
// (O_RDONLY, or O_WRONLY | O_APPEND, ...; never O_CREAT). The open never
// waits, and the type is checked on the opened descriptor, so a file
// swapped in after a check on the path cannot slip through; anything but a
// regular file is refused. A path where nothing is (or a dangling link) is
// `missing`.
Opened openRegular(const QString &path, int flags);

struct Contents
{
    std::optional<QByteArray> bytes;  // present exactly when there is no failure
    struct stat info {};              // of the opened file, when it was opened
    Failure failure;
};

// The whole content of the regular file at `path`, opened as openRegular()
// does, unless it holds more than `maxBytes` (0 to 2^40).
Contents readReporting(const QString &path, qint64 maxBytes);

// readReporting() without the reasons.
std::optional<QByteArray> read(const QString &path, qint64 maxBytes);

// Writes all of `bytes` to `fd`, going on after a short write; 0, or the
// errno of the write that failed (a full disk, a file size limit).
int writeAll(int fd, QByteArrayView bytes);

// Appends all of `bytes` to a file opened for appending. A write that fails
// part way is taken back to the size the file had when it was opened, so a
// half-written record never glues itself to the next one. 0, or the errno of
// the write that failed.
int appendWhole(const Opened &opened, QByteArrayView bytes);

// The status of what is at `path` (a link is followed), or absent when
// nothing is.
std::optional<struct stat> status(const QString &path);

struct Created
{
    bool opened = false;  // false when the file could not be made, or something is already there
    QString failure;      // empty on success: the system's own words otherwise
};

// Writes `bytes` to a new file at `path`, never over anything already there,
// and flushes it to the disk. A file that could not be written in full is
// removed again.
Created createWhole(const QString &path, QByteArrayView bytes);

struct Replaced
{
    QString failure;      // empty on success: the system's own words otherwise
    struct stat info {};  // of the file as written, on success
};

// The steps a replacement is made of, each a call into the system: the
// bytes written to the new file, the new file flushed, the rename over the
// old one, the folder flushed. Without either flush a power cut can leave
// an empty or missing file even though the rename was done, and nothing a
// killed process can show would tell; so the tests put recorders here.
struct ReplaceSteps
{
    std::function<int(int fd, QByteArrayView bytes)> write;  // 0, or the errno of the failed write
    std::function<int(int fd)> syncFile;                     // 0, or -1 with errno set
    std::function<int(const QByteArray &from, const QByteArray &to)> rename;  // the same
    std::function<void(const QString &directory)> syncFolder;

    // The system's own calls.
    static ReplaceSteps system();
};

// Replaces the file at `path` with `bytes` in one step: written in full to a
// new file beside it through its descriptor, flushed to the disk, renamed
// over the old one, and the folder flushed. Qt's buffered writes would lose
// the reason of a failed write (a full disk, a file size limit) and could
// let a short file replace the old one; here the old file stays whole
// unless the new one is complete. When `path` is a symbolic link (into a
// folder a sync tool shares, say), the file it leads to is replaced, in its
// own folder, and the link stays as it is. The new file keeps the old one's
// permissions.
Replaced replaceWhole(const QString &path, QByteArrayView bytes, const ReplaceSteps &steps = ReplaceSteps::system());

// Where a write to `path` lands: the file its chain of symbolic links ends
// at (which need not exist yet), or `path` itself when it is no link.
QString linkTarget(const QString &path);

// Flushes a folder's entries (a rename, a new file) to the disk.
void syncDirectory(const QString &directory);

// Renames `from` to `to` in one step, unless something already exists at
// `to`; false, and nothing moved, otherwise. Both lie on one file system.
// Unlike QFile::rename it never falls back to copying, which would open a
// FIFO and wait.
bool renameWithoutReplacing(const QString &from, const QString &to);

} // namespace SharedFile
