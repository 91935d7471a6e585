#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reading and taking files in folders that other programs write to. Such a
// folder may hold anything under an expected name: a FIFO whose writer never
// comes, a link to a device that never ends, a file far larger than any
// record. A reader on the GUI thread must neither wait for nor swallow them.
namespace SharedFile {

// The whole content of the regular file at `path` (a link is followed), or
// nothing when it cannot be opened, is not a regular file or holds more than
// `maxBytes`. The type is checked on the opened descriptor, so a file swapped
// in after a check on the path cannot slip through; the open never waits.
std::optional<QByteArray> read(const QString &path, qint64 maxBytes);

// Renames `from` to `to` in one step, unless something already exists at
// `to`; false, and nothing moved, otherwise. Both lie on one file system.
// Unlike QFile::rename it never falls back to copying, which would open a
// FIFO and wait.
bool renameWithoutReplacing(const QString &from, const QString &to);

} // namespace SharedFile
