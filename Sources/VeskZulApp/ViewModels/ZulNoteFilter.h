#pragma once

#include <QString>

#include <array>
#include <optional>

// Which notes the note list lets through; see ZulStudioViewModel::filteredNotes().
enum class ZulNoteFilter { all, pinned, sticky, ephemeral };

QString rawValue(ZulNoteFilter filter);
std::optional<ZulNoteFilter> ZulNoteFilterFromRaw(const QString &raw);
inline QString id(ZulNoteFilter filter) { return rawValue(filter); }
const std::array<ZulNoteFilter, 4> &ZulNoteFilterAllCases();
