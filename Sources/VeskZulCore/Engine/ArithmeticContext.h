#pragma once

#include <QHash>
#include <QString>

#include <optional>

// The figures of a list of values that the block aggregates read, kept up
// to date by whoever appends to the list, in the order the values came: the
// sum is the same left-to-right sum, the extremes the same first-found
// values, as walking the list would give.
struct ArithmeticBlockTotals
{
    double sum = 0;
    double minimum = 0;
    double maximum = 0;
    qsizetype count = 0;

    void append(double value)
    {
        sum += value;
        if (count == 0 || value < minimum)
            minimum = value;
        if (count == 0 || maximum < value)
            maximum = value;
        ++count;
    }
};

// What an expression may refer to besides numbers and constants: the note's
// variables (keys already folded by ZulIdentifierNormalizer::normalize), the
// previous numeric line's value and the current block, as its running totals
// so that an aggregate costs nothing however long the block is.
struct ArithmeticContext
{
    QHash<QString, double> variables;
    std::optional<double> previousValue;
    ArithmeticBlockTotals blockTotals;
};
