#pragma once

#include "Engine/ArithmeticContext.h"
#include "Engine/NoteVocabulary.h"

#include <QString>
#include <QStringView>

#include <optional>

// The expression language of a note line over doubles: + - * / % ^, unary
// signs, parentheses, constants, variables, prev, block aggregates and a
// fixed set of functions. Anything that cannot be read or computed is
// absent; nothing here reports an error. Pure and thread-safe.
namespace ArithmeticParser {

// The value goes to `value`; false when there is none.
bool evaluate(QStringView text, const ArithmeticContext &context, double &value);
// Inline, so that the optional is made where it is used: returned from a
// call, its flag is written alone and read back with the value, which
// stalls the caller.
inline std::optional<double> evaluate(QStringView text, const ArithmeticContext &context)
{
    double value = 0;
    if (!evaluate(text, context, value))
        return std::nullopt;
    return value;
}

// The sum, mean, smallest, largest or count of some values, as an aggregate
// line and an aggregate in an expression both read them; absent for a mean,
// smallest or largest of none, and for any other meaning.
std::optional<double> aggregate(NoteVocabulary::Meaning meaning, const ArithmeticBlockTotals &values);

// A bare number as typed in a percentage phrase: "1,234", "1,234.5", "12,5",
// "_" digit separators, an optional sign and exponent.
std::optional<double> parsePlainNumber(const QString &text);
std::optional<double> parsePlainNumber(QStringView text);

} // namespace ArithmeticParser
