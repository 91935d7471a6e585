#pragma once

#include "VeskKit/Utilities/VeskBundle.h"
#include "VeskKit/Utilities/VeskReleaseLogRecord.h"

#include <QList>
#include <QString>

#include <optional>

// Reads an application's release history: one JSON record per line, returned
// last line first. Never fails: what cannot be read is left out.
namespace VeskReleaseLogReader {

// With an application name, only records whose app matches it, ignoring case.
QList<VeskReleaseLogRecord> load(const QString& path, const std::optional<QString>& forApp = std::nullopt);
// The records of a history's text, as load() reads them from its file.
QList<VeskReleaseLogRecord> fromText(QByteArrayView text, const std::optional<QString>& forApp = std::nullopt);

// The bundle's "release-log.jsonl"; nothing when it has none.
QList<VeskReleaseLogRecord> loadBundled(const std::optional<QString>& forApp = std::nullopt,
                                        const VeskBundle& bundle = VeskBundle::main());

} // namespace VeskReleaseLogReader
