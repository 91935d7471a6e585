#pragma once

#include <QHash>
#include <QList>
#include <QString>

#include <optional>

// What an expression may refer to besides numbers and constants: the note's
// variables (keys already folded by ZulIdentifierNormalizer::normalize), the
// previous numeric line's value and the values of the current block.
struct ArithmeticContext
{
    QHash<QString, double> variables;
    std::optional<double> previousValue;
    QList<double> blockValues;
};
