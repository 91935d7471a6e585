#include "Models/NoteEvaluationSummary.h"

std::optional<double> NoteEvaluationSummary::averageNumericValue() const
{
    if (!totalNumericSum || numericCount < 1)
        return std::nullopt;
    return *totalNumericSum / static_cast<double>(numericCount);
}

std::optional<EvaluatedLine> NoteEvaluationSummary::line(qint64 lineIndex) const
{
    for (const EvaluatedLine &candidate : lines) {
        if (candidate.lineIndex == lineIndex)
            return candidate;
    }
    return std::nullopt;
}

const NoteEvaluationSummary &NoteEvaluationSummary::empty()
{
    static const NoteEvaluationSummary summary;
    return summary;
}
