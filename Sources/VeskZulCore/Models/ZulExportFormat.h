#pragma once

#include <QString>

#include <array>
#include <optional>

// The three forms a note can be exported in. Never stored, so no JSON form.
enum class ZulExportFormat { markdownWithResults, plainText, csv };

QString rawValue(ZulExportFormat format);
std::optional<ZulExportFormat> ZulExportFormatFromRaw(const QString &raw);
inline QString id(ZulExportFormat format) { return rawValue(format); }
const std::array<ZulExportFormat, 3> &ZulExportFormatAllCases();

// Without the dot.
QString fileExtension(ZulExportFormat format);
