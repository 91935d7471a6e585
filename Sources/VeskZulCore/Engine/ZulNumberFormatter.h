#pragma once

#include <QString>

// The single rule by which a number becomes the text of a result: "," groups
// of three, "." before the fraction, at most maxFractionDigits fraction digits
// (rounded half to even on the exact binary value), trailing zeros dropped,
// never an exponent, "—" for infinity and NaN. The process locale plays no
// part, so a Turkish or German desktop sees the same text as everyone else.
// Safe to call from any thread.
namespace ZulNumberFormatter {

QString format(double value, int maxFractionDigits);

} // namespace ZulNumberFormatter
