#pragma once

#include <QString>

#include <optional>

// What sort of result a line has; the raw value is the case name and is what
// JSON holds.
enum class EvaluatedLineKind {
    math,
    variable,
    percentage,
    currency,
    unit,
    date,
    aggregate,
    checklist,
};

QString rawValue(EvaluatedLineKind kind);
std::optional<EvaluatedLineKind> EvaluatedLineKindFromRaw(const QString &raw);
