#pragma once

#include "Models/EvaluatedLineKind.h"

#include <QString>

#include <optional>

// The result of a unit, currency or date conversion, in the same four pieces
// the note engine keeps for every line.
struct ConversionEvaluation
{
    std::optional<double> numericValue;   // absent for results that are not numbers (a date)
    std::optional<QString> unitOrCurrency; // unit symbol, currency code or date unit
    QString formattedResult;               // the result as shown
    EvaluatedLineKind kind = EvaluatedLineKind::unit;

    friend bool operator==(const ConversionEvaluation &, const ConversionEvaluation &) = default;
};
