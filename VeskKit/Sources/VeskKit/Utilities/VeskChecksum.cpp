#include "VeskKit/Utilities/VeskChecksum.h"

#include <QCryptographicHash>
#include <QFile>
#include <QtEndian>

#include <algorithm>
#include <vector>

namespace {

using Result = VeskResult<QString, VeskFileError>;

constexpr qint64 defaultChunkSize = 64 * 1024;
// Head and tail are fed through a buffer of at most this size, so a huge
// sample size never means a huge allocation.
constexpr qint64 sampleBufferSize = 64 * 1024;

VeskFileError errorOf(const QFile& file)
{
    return VeskFileError{file.fileName(), file.error(), file.errorString()};
}

// Opened unbuffered: QFile would otherwise keep its own copy of what it read.
// QFile closes itself on every way out of the caller.
bool openForReading(QFile& file)
{
    return file.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
}

// Feeds up to `count` bytes from the current position to the hash; stops
// early at the end of the file.
bool feed(QFile& file, QCryptographicHash& hash, qint64 count, std::vector<char>& buffer)
{
    while (count > 0) {
        const qint64 want = std::min<qint64>(count, static_cast<qint64>(buffer.size()));
        const qint64 got = file.read(buffer.data(), want);
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        hash.addData(QByteArrayView(buffer.data(), got));
        count -= got;
    }
    return true;
}

QString hexDigest(const QCryptographicHash& hash)
{
    return QString::fromLatin1(hash.result().toHex());
}

} // namespace

namespace VeskChecksum {

Result sha256(const QString& filePath, qint64 chunkSize)
{
    QFile file(filePath);
    if (!openForReading(file))
        return Result::failure(errorOf(file));

    std::vector<char> buffer(static_cast<size_t>(chunkSize > 0 ? chunkSize : defaultChunkSize));
    QCryptographicHash hash(QCryptographicHash::Sha256);
    for (;;) {
        const qint64 got = file.read(buffer.data(), static_cast<qint64>(buffer.size()));
        if (got < 0)
            return Result::failure(errorOf(file));
        if (got == 0)
            break;
        hash.addData(QByteArrayView(buffer.data(), got));
    }
    return Result::success(hexDigest(hash));
}

Result partialFingerprint(const QString& filePath, qint64 sampleBytes)
{
    const qint64 sample = std::max<qint64>(sampleBytes, 0);

    QFile file(filePath);
    if (!openForReading(file))
        return Result::failure(errorOf(file));
    // The size of the file that is read, not of a link leading to it.
    const qint64 size = file.size();

    QCryptographicHash hash(QCryptographicHash::Sha256);
    const quint64 littleEndianSize = qToLittleEndian(static_cast<quint64>(size));
    hash.addData(QByteArrayView(reinterpret_cast<const char*>(&littleEndianSize), sizeof littleEndianSize));

    std::vector<char> buffer(static_cast<size_t>(std::clamp<qint64>(sample, 1, sampleBufferSize)));
    if (!feed(file, hash, sample, buffer))
        return Result::failure(errorOf(file));
    if (sample < size) {
        if (!file.seek(size - sample) || !feed(file, hash, sample, buffer))
            return Result::failure(errorOf(file));
    }
    return Result::success(hexDigest(hash));
}

} // namespace VeskChecksum
