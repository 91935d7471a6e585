#pragma once

#include "VeskKit/Utilities/VeskFileError.h"
#include "VeskKit/Utilities/VeskResult.h"

#include <QString>
#include <QtGlobal>

// SHA-256 digests of files, as 64 lower-case hex digits. Both functions hold
// a bounded amount of the file in memory whatever its size, take no locks and
// may be called from any thread at once. Failures to open, stat, seek or read
// come back as the platform reported them; no partial digest is ever given.
namespace VeskChecksum {

// The digest of the whole file, read `chunkSize` bytes at a time into one
// reused buffer. A chunk size below 1 reads 64 KiB at a time; the digest does
// not depend on it.
VeskResult<QString, VeskFileError> sha256(const QString& filePath, qint64 chunkSize);

// A cheap identity for large files: the digest of the file size (8 bytes,
// little-endian), the first `sampleBytes` bytes and, when the file is longer
// than that, its last `sampleBytes` bytes (head and tail overlap in files
// shorter than twice the sample). Files that differ only in the middle share
// it. A sample size below 0 counts as 0, which covers the size alone.
VeskResult<QString, VeskFileError> partialFingerprint(const QString& filePath, qint64 sampleBytes);

} // namespace VeskChecksum
