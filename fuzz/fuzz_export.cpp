// A note and its evaluation exported: the CSV reads back under a strict
// RFC 4180 reader (every field quoted properly, seven to a row, one row per
// record) as the records' own values, no text field opens as a formula, and
// the Markdown and plain-text titles stand on one line.

#include "FuzzEvaluation.h"
#include "Services/ZulExportService.h"

#include <QTextBoundaryFinder>
#include <QUuid>

namespace {

// RFC 4180 records ending in a line feed (the form the export writes): a field
// is bare (no quote, comma, CR or LF in it) or quoted, with each quote inside
// doubled and nothing but a comma or the record's end after the closing one.
std::optional<QList<QStringList>> readCsv(const QString &text)
{
    QList<QStringList> rows;
    QStringList row;
    QString field;
    qsizetype i = 0;
    const qsizetype n = text.size();
    while (i < n) {
        field.clear();
        if (text[i] == u'"') {
            for (++i;; ++i) {
                if (i >= n)
                    return std::nullopt;  // the quote is never closed
                if (text[i] == u'"') {
                    if (i + 1 < n && text[i + 1] == u'"') {
                        field += u'"';
                        ++i;
                        continue;
                    }
                    ++i;
                    break;
                }
                field += text[i];
            }
        } else {
            while (i < n && text[i] != u',' && text[i] != u'\n') {
                if (text[i] == u'"' || text[i] == u'\r')
                    return std::nullopt;
                field += text[i++];
            }
        }
        row << field;
        if (i >= n)
            return std::nullopt;  // every record ends with its line feed
        if (text[i] == u'\n') {
            rows << row;
            row.clear();
        } else if (text[i] != u',') {
            return std::nullopt;
        }
        ++i;
    }
    return rows;
}

// As a spreadsheet reads a cell: a first character (all of it, marks
// included) of "=", "+", "-", "@", a tab or CR starts a formula.
bool opensAsFormula(const QString &field)
{
    if (field.isEmpty() || !QStringView(u"=+-@\t\r").contains(field.front()))
        return false;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, field);
    return characters.toNextBoundary() == 1;
}

bool isSpaceOrTab(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

QString trimmedOfSpacesAndTabs(const QString &text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && isSpaceOrTab(text[begin]))
        ++begin;
    while (end > begin && isSpaceOrTab(text[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// A field as written by the export: a text that would open as a formula
// carries a leading apostrophe.
bool isGuarded(const QString &field, const QString &value)
{
    return field == value || field == u'\'' + value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The first line is the title, the rest the note.
    const QString input = FuzzSupport::textOf(data, size);
    const qsizetype cut = input.indexOf(u'\n');
    const QString title = cut < 0 ? QString() : input.left(cut);
    const QString content = cut < 0 ? input : input.mid(cut + 1);
    const QDateTime at(QDate(2025, 1, 10), QTime(12, 0), QTimeZone::utc());
    const ZulNote note(QUuid(), title, content, ZulNoteTint::indigo, false, false, false, std::nullopt, {}, at, at);
    const NoteEvaluationSummary summary = FuzzSupport::engine().evaluate(content);

    const std::optional<QList<QStringList>> rows =
        readCsv(ZulExportService::exportNote(note, summary, ZulExportFormat::csv, true));
    FUZZ_CHECK(rows && rows->size() == summary.lines.size() + 1);
    for (qsizetype r = 0; r < rows->size(); ++r)
        FUZZ_CHECK(rows->at(r).size() == 7);
    for (qsizetype r = 1; r < rows->size(); ++r) {
        const QStringList &row = rows->at(r);
        const EvaluatedLine &line = summary.lines[r - 1];
        FUZZ_CHECK(row[0] == QString::number(line.lineIndex + 1));
        FUZZ_CHECK(row[1] == rawValue(line.kind));
        FUZZ_CHECK(isGuarded(row[2], line.label.value_or(QString())));
        FUZZ_CHECK(isGuarded(row[3], trimmedOfSpacesAndTabs(line.rawLine)));
        FUZZ_CHECK(row[4].isEmpty() == !line.numericValue);
        FUZZ_CHECK(isGuarded(row[5], line.unitOrCurrency.value_or(QString())));
        FUZZ_CHECK(isGuarded(row[6], line.formattedResult));
        for (const int column : {1, 2, 3, 5, 6})
            FUZZ_CHECK(!opensAsFormula(row[column]));
    }

    const QString shownTitle = ZulExportService::exportTitle(note);
    FUZZ_CHECK(ComputationalNoteEngine::splitLines(shownTitle).size() == 1);
    const QString markdown = ZulExportService::exportNote(note, summary, ZulExportFormat::markdownWithResults, true);
    FUZZ_CHECK(markdown.startsWith(QStringLiteral("# ") + shownTitle + QStringLiteral("\n\n")));
    const QString plain = ZulExportService::exportNote(note, summary, ZulExportFormat::plainText, true);
    FUZZ_CHECK(plain.startsWith(shownTitle + u'\n'));
    return 0;
}
