#pragma once

// What the fuzz targets share: the input as bytes or text, checks that stop
// the run with a message, and a folder of files of their own.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#define FUZZ_CHECK(condition)                                                                                  \
    do {                                                                                                       \
        if (!(condition)) {                                                                                    \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition);                \
            std::abort();                                                                                      \
        }                                                                                                      \
    } while (false)

namespace FuzzSupport {

inline QByteArray bytesOf(const std::uint8_t *data, std::size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), qsizetype(size));
}

// As a file the application reads would be: UTF-8, each stray byte U+FFFD.
inline QString textOf(const std::uint8_t *data, std::size_t size)
{
    return QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
}

// Pairs of bytes as UTF-16 code units, lone surrogates and all: what a
// QString from anywhere in the program may hold.
inline QString unitsOf(const std::uint8_t *data, std::size_t size)
{
    QString text(qsizetype(size / 2), Qt::Uninitialized);
    for (std::size_t i = 0; i + 1 < size; i += 2)
        text[qsizetype(i / 2)] = QChar(char16_t(data[i] | data[i + 1] << 8));
    return text;
}

// A folder of its own for a target's files, emptied before each input. In
// memory where the system has such a folder: every save flushes to the disk.
class ScratchFolder
{
public:
    ScratchFolder()
        : m_folder((QFileInfo(QStringLiteral("/dev/shm")).isWritable() ? QStringLiteral("/dev/shm")
                                                                         : QDir::tempPath())
                   + QStringLiteral("/vesk-fuzz-XXXXXX"))
    {
        FUZZ_CHECK(m_folder.isValid());
    }
    // The folder, empty.
    QString emptied() const
    {
        QDir(m_folder.path()).removeRecursively();
        QDir().mkpath(m_folder.path());
        return m_folder.path();
    }
    QString path() const { return m_folder.path(); }

private:
    QTemporaryDir m_folder;
};

inline void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    FUZZ_CHECK(file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size());
}

} // namespace FuzzSupport
