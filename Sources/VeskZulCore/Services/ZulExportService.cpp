#include "Services/ZulExportService.h"

#include "Engine/ComputationalNoteEngine.h"
#include "Engine/NoteLineText.h"
#include "Engine/ZulNumberFormatter.h"
#include "SharedFile.h"
#include "VeskKit/Utilities/VeskByteFormatter.h"

#include <QFile>
#include <QHash>
#include <QTextBoundaryFinder>

#include <algorithm>
#include <array>
#include <charconv>
#include <optional>
#include <utility>

namespace {

// What most Linux file systems allow for one name, in bytes.
constexpr qsizetype kMaxFileNameBytes = 255;

// `stem` + "." + `extension`, the stem cut so that the whole name fits one
// file name: a title is shown whole however long, but a save panel offered
// a longer name could only fail. The cut falls between two user-perceived
// characters, so no letter loses its accent and no emoji half of itself.
QString fileNameWithin(const QString &stem, const QString &extension)
{
    const QString suffix = QLatin1Char('.') + extension;
    const qsizetype room = kMaxFileNameBytes - QFile::encodeName(suffix).size();
    if (QFile::encodeName(stem).size() <= room)
        return stem + suffix;
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, stem);
    qsizetype cut = 0;
    qsizetype bytes = 0;
    for (qsizetype next = characters.toNextBoundary(); next > 0; next = characters.toNextBoundary()) {
        bytes += QFile::encodeName(stem.mid(cut, next - cut)).size();
        if (bytes > room)
            break;
        cut = next;
    }
    return stem.left(cut) + suffix;
}

struct MarkerSwitch
{
    QStringView marker;
    QStringView replacement;
};

// The search order matters where a line holds several markers: every dash
// form before any star form, the open box first.
constexpr std::array<MarkerSwitch, 6> kMarkerSwitches{{
    {u"- [ ]", u"- [x]"},
    {u"- [x]", u"- [ ]"},
    {u"- [X]", u"- [ ]"},
    {u"* [ ]", u"* [x]"},
    {u"* [x]", u"* [ ]"},
    {u"* [X]", u"* [ ]"},
}};

const QString kInlineResultSeparator = QStringLiteral(" // = ");
const QString kCsvHeader = QStringLiteral("Line,Kind,Label,Expression,NumericValue,UnitOrCurrency,FormattedResult");

qsizetype graphemeCount(const QString &text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype count = 0;
    while (finder.toNextBoundary() != -1)
        ++count;
    return count;
}

// "%.4f" as the C locale prints it, whatever the process locale is.
QString fourFractionDigits(double value)
{
    char buffer[400];
    const auto [end, error] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 4);
    return error == std::errc() ? QString::fromLatin1(buffer, end - buffer) : QString();
}

bool isSpaceOrTab(QChar c)
{
    return c == u'\t' || c.category() == QChar::Separator_Space;
}

// Spaces and tabs only: a raw line holds no line break to trim anyway.
QString trimmedOfSpacesAndTabs(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpaceOrTab(text.at(begin)))
        ++begin;
    while (end > begin && isSpaceOrTab(text.at(end - 1)))
        --end;
    return text.mid(begin, end - begin);
}

// Where the marker to switch lies in `line` (an offset into it), and what
// takes its place.
std::optional<std::pair<qsizetype, QStringView>> markerToSwitch(QStringView line)
{
    const QStringView opening = NoteLineText::trimmed(line);
    for (const MarkerSwitch &candidate : kMarkerSwitches) {
        if (NoteLineText::startsWithCharacters(opening, candidate.marker))
            return std::pair{opening.data() - line.data(), candidate.replacement};
    }
    for (const MarkerSwitch &candidate : kMarkerSwitches) {
        const qsizetype at = line.indexOf(candidate.marker);
        if (at >= 0)
            return std::pair{at, candidate.replacement};
    }
    return std::nullopt;
}

QString renderMarkdown(const ZulNote &note, const NoteEvaluationSummary &summary, bool includeInlineResults)
{
    QString text = QStringLiteral("# ") + ZulExportService::exportTitle(note) + QStringLiteral("\n\n");
    text += includeInlineResults ? ZulExportService::renderWithInlineResults(note.content, summary) : note.content;
    if (summary.totalNumericSum) {
        text += QStringLiteral("\n\n---\n<!-- VeskZul Summary: Sum = ");
        text += ZulNumberFormatter::format(*summary.totalNumericSum, 2);
        text += QStringLiteral(", Items = ") + QString::number(summary.numericCount);
        text += QStringLiteral(", Tasks = ") + QString::number(summary.completedTasks);
        text += QLatin1Char('/') + QString::number(summary.totalTasks);
        text += QStringLiteral(" -->\n");
    }
    return text;
}

QString renderPlainText(const ZulNote &note, const NoteEvaluationSummary &summary, bool includeInlineResults)
{
    const QString title = ZulExportService::exportTitle(note);
    const qsizetype underline = std::clamp<qsizetype>(graphemeCount(title), 8, 48);
    QString text = title + QLatin1Char('\n') + QString(underline, QLatin1Char('=')) + QStringLiteral("\n\n");
    text += includeInlineResults ? ZulExportService::renderWithInlineResults(note.content, summary) : note.content;
    text += QLatin1Char('\n');
    return text;
}

QString renderCSV(const NoteEvaluationSummary &summary)
{
    using VeskByteFormatter::csvSafeField;
    QString text = kCsvHeader + QLatin1Char('\n');
    for (const EvaluatedLine &line : summary.lines) {
        text += QString::number(line.lineIndex + 1);
        text += QLatin1Char(',') + csvSafeField(rawValue(line.kind));
        text += QLatin1Char(',') + csvSafeField(line.label.value_or(QString()));
        text += QLatin1Char(',') + csvSafeField(trimmedOfSpacesAndTabs(line.rawLine));
        text += QLatin1Char(',');
        if (line.numericValue)
            text += fourFractionDigits(*line.numericValue);
        text += QLatin1Char(',') + csvSafeField(line.unitOrCurrency.value_or(QString()));
        text += QLatin1Char(',') + csvSafeField(line.formattedResult);
        text += QLatin1Char('\n');
    }
    return text;
}

} // namespace

namespace ZulExportService {

QString exportTitle(const ZulNote &note)
{
    const QString title = note.displayTitle();
    const QList<ComputationalNoteEngine::LineSpan> lines = ComputationalNoteEngine::splitLines(title);
    if (lines.size() == 1)
        return title;
    QString oneLine;
    oneLine.reserve(title.size());
    for (const ComputationalNoteEngine::LineSpan &line : lines) {
        if (line.start > 0)
            oneLine += QLatin1Char(' ');
        oneLine += QStringView(title).mid(line.start, line.length);
    }
    return oneLine;
}

QString exportNote(const ZulNote &note, const NoteEvaluationSummary &summary, ZulExportFormat format,
                   bool includeInlineResults)
{
    switch (format) {
    case ZulExportFormat::markdownWithResults:
        return renderMarkdown(note, summary, includeInlineResults);
    case ZulExportFormat::plainText:
        return renderPlainText(note, summary, includeInlineResults);
    case ZulExportFormat::csv:
        return renderCSV(summary);
    }
    return {};
}

QString proposedFileName(const ZulNote &note, ZulExportFormat format)
{
    QString stem = exportTitle(note);
    stem.replace(QLatin1Char('/'), QLatin1Char('-'));
    stem.replace(QLatin1Char(':'), QLatin1Char('-'));
    return fileNameWithin(stem, fileExtension(format));
}

ZulResult<qsizetype> writeExport(const QString &path, const QString &content)
{
    const QByteArray bytes = content.toUtf8();
    const QString failure = SharedFile::replaceWhole(path, bytes).failure;
    if (!failure.isEmpty())
        return ZulResult<qsizetype>::failure(failure);
    return ZulResult<qsizetype>::success(bytes.size());
}

QString renderWithInlineResults(const QString &content, const NoteEvaluationSummary &summary)
{
    QHash<qint64, const EvaluatedLine *> byIndex;
    byIndex.reserve(summary.lines.size());
    for (const EvaluatedLine &line : summary.lines)
        byIndex.insert(line.lineIndex, &line);

    const QList<ComputationalNoteEngine::LineSpan> spans = ComputationalNoteEngine::splitLines(content);
    QString text;
    text.reserve(content.size() + summary.lines.size() * 16);
    qsizetype copied = 0;
    for (qsizetype index = 0; index < spans.size(); ++index) {
        const EvaluatedLine *record = byIndex.value(index);
        if (!record || record->kind == EvaluatedLineKind::checklist)
            continue;
        // Everything up to the end of this line (earlier lines and their
        // line ends included) goes over unchanged, then the result.
        const qsizetype lineEnd = spans[index].start + spans[index].length;
        text += QStringView(content).mid(copied, lineEnd - copied);
        text += kInlineResultSeparator;
        text += record->formattedResult;
        copied = lineEnd;
    }
    text += QStringView(content).mid(copied);
    return text;
}

QString toggleChecklistLine(const QString &text, qint64 lineIndex)
{
    const QList<ComputationalNoteEngine::LineSpan> spans = ComputationalNoteEngine::splitLines(text);
    if (lineIndex < 0 || lineIndex >= spans.size())
        return text;
    const ComputationalNoteEngine::LineSpan span = spans[lineIndex];
    const auto found = markerToSwitch(QStringView(text).mid(span.start, span.length));
    if (!found)
        return text;
    QString toggled = text;
    toggled.replace(span.start + found->first, found->second.size(), found->second.toString());
    return toggled;
}

} // namespace ZulExportService
