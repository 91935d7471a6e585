#pragma once

#include "Models/NoteEvaluationSummary.h"
#include "Models/ZulExportFormat.h"
#include "Models/ZulNote.h"
#include "Models/ZulResult.h"

#include <QString>

// A note and its evaluation as text for the outside world (a file, the
// clipboard), and the rule by which a task line is ticked or unticked. Pure
// functions; any thread.
//
// Lines are the note engine's lines (ComputationalNoteEngine::splitLines), so
// a record's lineIndex finds its line here. Whatever line ends the text had
// are kept as they were.
namespace ZulExportService {

// Markdown (title heading, body, summary comment when the note has a sum),
// plain text (underlined title, body) or CSV (one row per evaluated line;
// the note and the flag play no part). The body is the note's content as it
// is, or with every result written after its line when includeInlineResults
// is set. Named exportNote because "export" is a C++ keyword.
QString exportNote(const ZulNote &note, const NoteEvaluationSummary &summary, ZulExportFormat format,
                   bool includeInlineResults);

// The note's display title on one line, as export headings and file names
// take it: a title typed or pasted with a line break would otherwise end the
// heading there and push its rest into the body. Each line end stands as a
// space.
QString exportTitle(const ZulNote &note);

// The name a save dialog proposes for the note's file: its export title
// with every "/" and ":" written "-", then "." and the format's extension. A
// title too long for one file name (255 bytes) is cut between two
// user-perceived characters, the extension kept.
QString proposedFileName(const ZulNote &note, ZulExportFormat format);

// Writes an export to `path` as UTF-8, atomically: a failed write leaves the
// file that was there whole. The number of bytes written, or the system's
// reason for the failure.
ZulResult<qsizetype> writeExport(const QString &path, const QString &content);

// The text with " // = " and the formatted result after every line that has
// a result; task lines and lines without a result are left as they are.
QString renderWithInlineResults(const QString &content, const NoteEvaluationSummary &summary);

// The text with the task marker of line `lineIndex` switched: "- [ ]" and
// "* [ ]" become "- [x]" and "* [x]"; "[x]" and "[X]" become "[ ]". The marker
// that opens the line (after blanks), the one the engine counts as the task,
// is the one switched; a line that opens with none has the first marker found
// anywhere in it switched, dash markers searched before star markers. An
// index outside the text, or a line without any marker, gives the text back
// unchanged.
QString toggleChecklistLine(const QString &text, qint64 lineIndex);

} // namespace ZulExportService
