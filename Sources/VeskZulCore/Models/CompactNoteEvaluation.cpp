#include "Models/CompactNoteEvaluation.h"

#include <algorithm>

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

void CompactNoteEvaluation::appendPrefix(const CompactNoteEvaluation &from, qsizetype records, qsizetype strings)
{
    m_lines += from.m_lines.mid(0, records);
    m_strings.append(QStringView(from.m_strings).left(strings));
}

void CompactNoteEvaluation::appendShifted(const CompactNoteEvaluation &from, qsizetype firstRecord,
                                          qsizetype firstString, qint64 lines, qsizetype characters)
{
    const qint64 stringShift = qint64(m_strings.size()) - qint64(firstString);
    m_strings.append(QStringView(from.m_strings).mid(firstString));
    m_lines.reserve(m_lines.size() + from.m_lines.size() - firstRecord);
    for (qsizetype record = firstRecord; record < from.m_lines.size(); ++record) {
        Line line = from.m_lines[record];
        line.lineIndex = quint32(qint64(line.lineIndex) + lines);
        line.rawStart = quint32(qint64(line.rawStart) + characters);
        line.resultStart = quint32(qint64(line.resultStart) + stringShift);
        if (line.flags & hasUnitFlag)
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
