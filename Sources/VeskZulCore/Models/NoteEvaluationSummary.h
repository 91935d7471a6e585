#pragma once

#include "Models/EvaluatedLine.h"

#include <QList>

#include <optional>

// One note's evaluation: its line results in line order (at most one per
// line) and the counts the surfaces show.
struct NoteEvaluationSummary
{
    QList<EvaluatedLine> lines;
    std::optional<double> totalNumericSum; // absent exactly when numericCount is 0
    qint64 numericCount = 0;
    qint64 completedTasks = 0;
    qint64 totalTasks = 0;
    qint64 wordCount = 0;
    qint64 charCount = 0; // grapheme clusters, not code units

    std::optional<double> averageNumericValue() const;
    std::optional<EvaluatedLine> line(qint64 lineIndex) const;

    // No lines, no sum, every count 0; shared.
    static const NoteEvaluationSummary &empty();

    friend bool operator==(const NoteEvaluationSummary &, const NoteEvaluationSummary &) = default;
};
