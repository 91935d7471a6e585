#pragma once

#include "Models/EvaluatedLine.h"
#include "Models/NoteEvaluationSummary.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

// Opaque to all but the note engine: what it keeps of an evaluation of a
// long text so that an edited version of the text is evaluated only around
// the edit.
class EvaluationResumePoints;

// One note's evaluation as a cache keeps it for as long as the note lives:
// the same results and counts as its NoteEvaluationSummary, but each result
// refers to its line in the evaluated text (which it shares with the note
// rather than copying) and the result texts of all lines lie in one buffer,
// so a note's results cost two allocations however many lines it has. The
// records come out as EvaluatedLine one at a time, or as the whole summary.
class CompactNoteEvaluation
{
public:
    CompactNoteEvaluation() = default;
    // The summary's records with their raw lines copied in.
    static CompactNoteEvaluation fromSummary(const NoteEvaluationSummary &summary);

    std::optional<double> totalNumericSum;
    qint64 numericCount = 0;
    qint64 completedTasks = 0;
    qint64 totalTasks = 0;
    qint64 wordCount = 0;
    qint64 charCount = 0;

    // The text the records refer to.
    const QString &text() const { return m_text; }
    qsizetype lineCount() const { return m_lines.size(); }
    bool isEmpty() const { return m_lines.isEmpty(); }
    EvaluatedLine line(qsizetype record) const;
    qint64 lineIndexAt(qsizetype record) const { return m_lines[record].lineIndex; }
    // The first record of a line at or after `lineIndex`.
    qsizetype lowerBound(qint64 lineIndex) const;
    // The first record whose line starts, or ends, at or after `offset` of
    // the text.
    qsizetype firstRecordStartingAt(qsizetype offset) const;
    qsizetype firstRecordEndingAt(qsizetype offset) const;
    NoteEvaluationSummary summary() const;
    // The counts alone, with no lines.
    NoteEvaluationSummary totals() const;

    // The note engine's, for the next evaluation of an edited text; absent
    // for short texts.
    std::shared_ptr<const EvaluationResumePoints> resumePoints;
    // Set when these are the results of an earlier text kept for the lines
    // that did not change, shown while the text is evaluated: the evaluation
    // they come from, which the next evaluation starts from.
    std::shared_ptr<const CompactNoteEvaluation> provisionalBase;
    bool isProvisional() const { return provisionalBase != nullptr; }

    // What a record says, without copying any text.
    EvaluatedLineKind kindAt(qsizetype record) const { return m_lines[record].kind; }
    std::optional<double> valueAt(qsizetype record) const;
    std::optional<bool> isCheckedAt(qsizetype record) const;
    std::optional<QStringView> unitAt(qsizetype record) const;
    std::optional<QStringView> labelAt(qsizetype record) const;
    // The same result, field by field (the values bit for bit), whatever
    // line either stands at.
    bool sameResult(qsizetype record, const CompactNoteEvaluation &other, qsizetype otherRecord) const;

    // Appending, in line order. `raw` lies in text().
    void setText(const QString &text) { m_text = text; }
    // The records [firstRecord, endRecord) of another evaluation, moved by
    // `lines` lines and `characters` characters of the text (the records'
    // lines are the same in both texts).
    void appendRecords(const CompactNoteEvaluation &from, qsizetype firstRecord, qsizetype endRecord, qint64 lines,
                       qsizetype characters);
    void append(qint64 lineIndex, QStringView raw, std::optional<double> value, QStringView unitOrCurrency,
                bool hasUnit, QStringView formattedResult, EvaluatedLineKind kind, QStringView label, bool hasLabel,
                std::optional<bool> isChecked);
    // Room for `lines` records and, when `like` is given, for as much
    // result text as it holds: the evaluation of an edited text comes to
    // about what the previous one held, and a buffer of a long note grown
    // step by step leaves every smaller step behind as freed memory.
    // With `like`, a little room is left over besides, for what the edit
    // itself adds.
    void reserve(qsizetype lines, const CompactNoteEvaluation *like = nullptr)
    {
        if (!like) {
            m_lines.reserve(lines);
            return;
        }
        m_lines.reserve(lines + lines / 16 + 64);
        m_strings.reserve(like->m_strings.size() + like->m_strings.size() / 16 + 256);
    }

private:
    struct Line
    {
        double value = 0;
        quint32 lineIndex = 0;
        quint32 rawStart = 0;
        quint32 rawLength = 0;
        quint32 resultStart = 0;
        quint32 resultLength = 0;
        quint32 unitStart = 0;
        quint32 unitLength = 0;
        quint32 labelStart = 0;
        quint32 labelLength = 0;
        EvaluatedLineKind kind = EvaluatedLineKind::math;
        quint8 flags = 0;
    };
    enum Flag : quint8 { hasValue = 1, hasUnitFlag = 2, hasLabelFlag = 4, hasChecked = 8, checked = 16 };

    quint32 store(QStringView text);
    QStringView view(quint32 start, quint32 length) const { return QStringView(m_strings).mid(start, length); }
    QStringView rawView(const Line &line) const { return QStringView(m_text).mid(line.rawStart, line.rawLength); }

    QString m_text;
    QList<Line> m_lines;
    QString m_strings;
};
