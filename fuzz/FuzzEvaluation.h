#pragma once

// What the targets of the computation core share: one engine, and
// comparisons of evaluations that take two NaNs of the same bits as equal (an
// evaluation that keeps a NaN must keep the same one).

#include "FuzzSupport.h"

#include "Engine/ComputationalNoteEngine.h"
#include "Models/EvaluatedLine.h"
#include "Models/NoteEvaluationSummary.h"

#include <optional>

namespace FuzzSupport {

inline bool sameNumber(const std::optional<double> &a, const std::optional<double> &b)
{
    return a.has_value() == b.has_value() && (!a || std::memcmp(&*a, &*b, sizeof(double)) == 0);
}

inline bool sameLine(const EvaluatedLine &a, const EvaluatedLine &b)
{
    return a.lineIndex == b.lineIndex && a.rawLine == b.rawLine && sameNumber(a.numericValue, b.numericValue)
        && a.unitOrCurrency == b.unitOrCurrency && a.formattedResult == b.formattedResult && a.kind == b.kind
        && a.label == b.label && a.isChecked == b.isChecked;
}

// The first record where two summaries part (-1 for their counts), or
// nothing when they agree.
inline std::optional<qsizetype> firstDifference(const NoteEvaluationSummary &a, const NoteEvaluationSummary &b)
{
    for (qsizetype i = 0; i < std::min(a.lines.size(), b.lines.size()); ++i)
        if (!sameLine(a.lines[i], b.lines[i]))
            return i;
    if (a.lines.size() != b.lines.size())
        return std::min(a.lines.size(), b.lines.size());
    if (!sameNumber(a.totalNumericSum, b.totalNumericSum) || a.numericCount != b.numericCount
        || a.completedTasks != b.completedTasks || a.totalTasks != b.totalTasks || a.wordCount != b.wordCount
        || a.charCount != b.charCount)
        return -1;
    return std::nullopt;
}

// One fixed day, zone and rate table, so that a finding replays the same.
inline const ComputationalNoteEngine &engine()
{
    static const ComputationalNoteEngine engine(CurrencyRateTable::offlineDefaults(), QStringLiteral("TRY"),
                                                QDateTime(QDate(2025, 1, 10), QTime(15, 0), QTimeZone::utc()),
                                                QTimeZone::utc());
    return engine;
}

} // namespace FuzzSupport
