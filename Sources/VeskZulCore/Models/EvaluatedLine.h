#pragma once

#include "Models/EvaluatedLineKind.h"
#include "Models/ZulResult.h"

#include <QByteArray>
#include <QJsonValue>
#include <QString>

#include <optional>

// One line's result as the note engine produced it. `lineIndex` is the 0-based
// line number (a CR LF pair ends one line) and is the record's identity.
struct EvaluatedLine
{
    qint64 lineIndex = 0;
    QString rawLine;
    std::optional<double> numericValue;
    std::optional<QString> unitOrCurrency;
    QString formattedResult;
    EvaluatedLineKind kind = EvaluatedLineKind::math;
    std::optional<QString> label;
    std::optional<bool> isChecked;

    qint64 id() const { return lineIndex; }

    // Compact JSON text with the keys in field order, absent optionals left
    // out. Fails only for a number JSON cannot hold (infinity, NaN).
    ZulResult<QByteArray> toJson() const;

    // Fails on a missing required key, a value of the wrong JSON type or an
    // unknown kind; null optionals read as absent, unknown keys are ignored.
    static ZulResult<EvaluatedLine> fromJson(const QByteArray &json);
    static ZulResult<EvaluatedLine> fromJson(const QJsonValue &json);

    friend bool operator==(const EvaluatedLine &, const EvaluatedLine &) = default;
};
