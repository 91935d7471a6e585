#include "Models/CompactNoteEvaluation.h"

#include <algorithm>
#include <cstring>

namespace {

// The counts both forms of an evaluation carry.
template <typename From, typename To>
void copyCounts(const From &from, To &to)
{
    to.totalNumericSum = from.totalNumericSum;
    to.numericCount = from.numericCount;
    to.completedTasks = from.completedTasks;
    to.totalTasks = from.totalTasks;
    to.wordCount = from.wordCount;
    to.charCount = from.charCount;
}

} // namespace

CompactNoteEvaluation CompactNoteEvaluation::fromSummary(const NoteEvaluationSummary &summary)
{
    CompactNoteEvaluation compact;
    copyCounts(summary, compact);
    qsizetype length = 0;
    for (const EvaluatedLine &line : summary.lines)
        length += line.rawLine.size();
    compact.m_text.reserve(length);
    for (const EvaluatedLine &line : summary.lines)
        compact.m_text += line.rawLine;
    compact.reserve(summary.lines.size());
    qsizetype at = 0;
    for (const EvaluatedLine &line : summary.lines) {
        const QStringView raw = QStringView(compact.m_text).mid(at, line.rawLine.size());
        at += line.rawLine.size();
        compact.append(line.lineIndex, raw, line.numericValue, line.unitOrCurrency.value_or(QString()),
                       line.unitOrCurrency.has_value(), line.formattedResult, line.kind, line.label.value_or(QString()),
                       line.label.has_value(), line.isChecked);
    }
    return compact;
}

quint32 CompactNoteEvaluation::store(QStringView text)
{
    const quint32 start = quint32(m_strings.size());
    m_strings.append(text);
    return start;
}

void CompactNoteEvaluation::append(qint64 lineIndex, QStringView raw, std::optional<double> value,
                                   QStringView unitOrCurrency, bool hasUnit, QStringView formattedResult,
                                   EvaluatedLineKind kind, QStringView label, bool hasLabel,
                                   std::optional<bool> isChecked)
{
    Line line;
    line.lineIndex = quint32(lineIndex);
    line.rawStart = quint32(raw.data() - m_text.constData());
    line.rawLength = quint32(raw.size());
    line.resultLength = quint32(formattedResult.size());
    line.resultStart = store(formattedResult);
    line.kind = kind;
    if (value) {
        line.flags |= hasValue;
        line.value = *value;
    }
    if (hasUnit) {
        line.flags |= hasUnitFlag;
        // A run of lines in one currency or unit stores it once.
        if (!m_lines.isEmpty() && (m_lines.constLast().flags & hasUnitFlag)
            && view(m_lines.constLast().unitStart, m_lines.constLast().unitLength) == unitOrCurrency) {
            line.unitStart = m_lines.constLast().unitStart;
        } else {
            line.unitStart = store(unitOrCurrency);
        }
        line.unitLength = quint32(unitOrCurrency.size());
    }
    if (hasLabel) {
        line.flags |= hasLabelFlag;
        line.labelLength = quint32(label.size());
        line.labelStart = store(label);
    }
    if (isChecked) {
        line.flags |= hasChecked;
        if (*isChecked)
            line.flags |= checked;
    }
    m_lines.append(line);
}

std::optional<double> CompactNoteEvaluation::valueAt(qsizetype record) const
{
    const Line &line = m_lines[record];
    return (line.flags & hasValue) ? std::optional<double>(line.value) : std::nullopt;
}

std::optional<bool> CompactNoteEvaluation::isCheckedAt(qsizetype record) const
{
    const Line &line = m_lines[record];
    return (line.flags & hasChecked) ? std::optional<bool>((line.flags & checked) != 0) : std::nullopt;
}

std::optional<QStringView> CompactNoteEvaluation::unitAt(qsizetype record) const
{
    const Line &line = m_lines[record];
    return (line.flags & hasUnitFlag) ? std::optional(view(line.unitStart, line.unitLength)) : std::nullopt;
}

std::optional<QStringView> CompactNoteEvaluation::labelAt(qsizetype record) const
{
    const Line &line = m_lines[record];
    return (line.flags & hasLabelFlag) ? std::optional(view(line.labelStart, line.labelLength)) : std::nullopt;
}

bool CompactNoteEvaluation::sameResult(qsizetype record, const CompactNoteEvaluation &other,
                                       qsizetype otherRecord) const
{
    const Line &a = m_lines[record];
    const Line &b = other.m_lines[otherRecord];
    return a.kind == b.kind && a.flags == b.flags && std::memcmp(&a.value, &b.value, sizeof a.value) == 0
        && view(a.resultStart, a.resultLength) == other.view(b.resultStart, b.resultLength)
        && unitAt(record) == other.unitAt(otherRecord) && labelAt(record) == other.labelAt(otherRecord);
}

void CompactNoteEvaluation::appendRecords(const CompactNoteEvaluation &from, qsizetype firstRecord,
                                          qsizetype endRecord, qint64 lines, qsizetype characters)
{
    if (firstRecord >= endRecord)
        return;
    // Each record's texts lie before the next record's result, so the
    // records' texts are one stretch of the store.
    const qsizetype firstString = from.m_lines[firstRecord].resultStart;
    const qsizetype endString =
        endRecord < from.m_lines.size() ? qsizetype(from.m_lines[endRecord].resultStart) : from.m_strings.size();
    // A run of lines in one unit stores it once, with the run's first line:
    // a run that began before the copied records has its unit outside the
    // stretch, and it is stored again, once, ahead of it.
    quint32 unitBefore = 0;
    const Line &first = from.m_lines[firstRecord];
    if ((first.flags & hasUnitFlag) && first.unitStart < firstString)
        unitBefore = store(from.view(first.unitStart, first.unitLength));
    const qint64 stringShift = qint64(m_strings.size()) - qint64(firstString);
    m_strings.append(QStringView(from.m_strings).mid(firstString, endString - firstString));
    // Grown by doubling: a long note's records come over in many runs, and
    // room for each run alone would move them all every time.
    const qsizetype needed = m_lines.size() + endRecord - firstRecord;
    if (needed > m_lines.capacity())
        m_lines.reserve(std::max(needed, 2 * m_lines.capacity()));
    for (qsizetype record = firstRecord; record < endRecord; ++record) {
        Line line = from.m_lines[record];
        line.lineIndex = quint32(qint64(line.lineIndex) + lines);
        line.rawStart = quint32(qint64(line.rawStart) + characters);
        line.resultStart = quint32(qint64(line.resultStart) + stringShift);
        if ((line.flags & hasUnitFlag) && line.unitStart < firstString)
            line.unitStart = unitBefore;
        else if (line.flags & hasUnitFlag)
            line.unitStart = quint32(qint64(line.unitStart) + stringShift);
        if (line.flags & hasLabelFlag)
            line.labelStart = quint32(qint64(line.labelStart) + stringShift);
        m_lines.append(line);
    }
}

EvaluatedLine CompactNoteEvaluation::line(qsizetype record) const
{
    const Line &line = m_lines[record];
    EvaluatedLine out;
    out.lineIndex = line.lineIndex;
    out.rawLine = rawView(line).toString();
    if (line.flags & hasValue)
        out.numericValue = line.value;
    if (line.flags & hasUnitFlag)
        out.unitOrCurrency = view(line.unitStart, line.unitLength).toString();
    out.formattedResult = view(line.resultStart, line.resultLength).toString();
    out.kind = line.kind;
    if (line.flags & hasLabelFlag)
        out.label = view(line.labelStart, line.labelLength).toString();
    if (line.flags & hasChecked)
        out.isChecked = (line.flags & checked) != 0;
    return out;
}

qsizetype CompactNoteEvaluation::lowerBound(qint64 lineIndex) const
{
    const auto it = std::partition_point(m_lines.cbegin(), m_lines.cend(),
                                         [lineIndex](const Line &line) { return qint64(line.lineIndex) < lineIndex; });
    return it - m_lines.cbegin();
}

qsizetype CompactNoteEvaluation::firstRecordStartingAt(qsizetype offset) const
{
    const auto it = std::partition_point(m_lines.cbegin(), m_lines.cend(),
                                         [offset](const Line &line) { return qsizetype(line.rawStart) < offset; });
    return it - m_lines.cbegin();
}

qsizetype CompactNoteEvaluation::firstRecordEndingAt(qsizetype offset) const
{
    const auto it = std::partition_point(m_lines.cbegin(), m_lines.cend(), [offset](const Line &line) {
        return qsizetype(line.rawStart) + qsizetype(line.rawLength) < offset;
    });
    return it - m_lines.cbegin();
}

NoteEvaluationSummary CompactNoteEvaluation::totals() const
{
    NoteEvaluationSummary summary;
    copyCounts(*this, summary);
    return summary;
}

NoteEvaluationSummary CompactNoteEvaluation::summary() const
{
    NoteEvaluationSummary summary = totals();
    summary.lines.reserve(m_lines.size());
    for (qsizetype record = 0; record < m_lines.size(); ++record)
        summary.lines.append(line(record));
    return summary;
}
