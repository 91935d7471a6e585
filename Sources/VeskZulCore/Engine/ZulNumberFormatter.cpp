#include "Engine/ZulNumberFormatter.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <iterator>

namespace {

constexpr double kZeroThreshold = 1e-12;
constexpr double kTwoTo53 = 9007199254740992.0;

// Any double of magnitude at least 1e-12 has an exact decimal expansion of
// fewer than 100 fraction digits, so asking for more only adds zeros that the
// trailing-zero rule drops again.
constexpr int kMaxUsefulFractionDigits = 100;

// Integer digits of the largest double (309), sign, point and fraction digits.
constexpr int kFixedBufferSize = 512;

// Writes `digits` (ASCII, no sign) into `out` with "," between groups of three
// counted from the right; returns the end of what was written.
char16_t *writeGrouped(char16_t *out, const char *digits, int count)
{
    for (int i = 0; i < count; ++i) {
        if (i > 0 && (count - i) % 3 == 0)
            *out++ = u',';
        *out++ = char16_t(digits[i]);
    }
    return out;
}

QString formatGroupedInteger(std::int64_t value)
{
    if (value == 0)
        return QStringLiteral("0");

    // Negating in unsigned arithmetic keeps the most negative value defined.
    std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                        : static_cast<std::uint64_t>(value);
    // Written from the last digit back, the groups fall out of the count
    // of digits written, and the text is made once at its length.
    char16_t buffer[32]; // 20 digits, 6 separators and the sign
    char16_t *const end = buffer + std::size(buffer);
    char16_t *out = end;
    int written = 0;
    do {
        if (written > 0 && written % 3 == 0)
            *--out = u',';
        *--out = char16_t(u'0' + magnitude % 10);
        magnitude /= 10;
        ++written;
    } while (magnitude != 0);
    if (value < 0)
        *--out = u'-';
    return QString(reinterpret_cast<const QChar *>(out), end - out);
}

QString formatFixed(double value, int maxFractionDigits)
{
    const int precision = std::clamp(maxFractionDigits, 0, kMaxUsefulFractionDigits);
    char buffer[kFixedBufferSize];
    // to_chars rounds the exact binary value, ties to even, and never consults
    // the C locale.
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value,
                                         std::chars_format::fixed, precision);
    if (ec != std::errc())
        return QStringLiteral("—");

    const char *begin = buffer;
    const bool negative = *begin == '-';
    if (negative)
        ++begin;

    const char *point = std::find(begin, static_cast<const char *>(end), '.');
    const char *fractionEnd = end;
    if (point != end) {
        while (fractionEnd > point + 1 && fractionEnd[-1] == '0')
            --fractionEnd;
        if (fractionEnd == point + 1)
            fractionEnd = point;
    }
    const int integerDigits = int(point - begin);
    const int fractionLength = int(fractionEnd - point); // includes the point

    // A small negative value rounded away to nothing reads as plain zero,
    // the same as -0.0 does.
    if (fractionLength == 0 && integerDigits == 1 && *begin == '0')
        return QStringLiteral("0");

    const int length = (negative ? 1 : 0) + integerDigits + (integerDigits - 1) / 3 + fractionLength;
    QString text(length, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    if (negative)
        *out++ = u'-';
    out = writeGrouped(out, begin, integerDigits);
    for (const char *c = point; c < fractionEnd; ++c)
        *out++ = char16_t(*c);
    return text;
}

// From 2^53 up every double is whole, but its exact binary value carries
// digits the user never wrote: 10^23 has no exact double, and the nearest ones
// are 99,999,999,999,999,991,611,392 and 100,000,000,000,000,008,388,608. Print the shortest digits that read back to the same double, padded
// with zeros, so the result shows the number that was meant.
QString formatLargeWhole(double value)
{
    char buffer[40];
    const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    if (ec != std::errc())
        return QStringLiteral("—");

    const char *c = buffer;
    const bool negative = *c == '-';
    if (negative)
        ++c;
    char digits[kFixedBufferSize];
    int count = 0;
    for (; c < end && *c != 'e'; ++c) {
        if (*c != '.')
            digits[count++] = *c;
    }
    int exponent = 0;
    std::from_chars(c + 1 + (c[1] == '+' ? 1 : 0), end, exponent);
    // Magnitudes from 2^53 have an exponent of at least 15 and at most 17
    // significant digits, so the digits never reach past the decimal point.
    const int integerDigits = std::clamp(exponent + 1, count, kFixedBufferSize - 1);
    std::fill(digits + count, digits + integerDigits, '0');

    const int length = (negative ? 1 : 0) + integerDigits + (integerDigits - 1) / 3;
    QString text(length, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(text.data());
    if (negative)
        *out++ = u'-';
    writeGrouped(out, digits, integerDigits);
    return text;
}

} // namespace

namespace ZulNumberFormatter {

QString format(double value, int maxFractionDigits)
{
    if (!std::isfinite(value))
        return QStringLiteral("—");
    if (std::fabs(value) < kZeroThreshold)
        return QStringLiteral("0");
    if (std::fabs(value) < kTwoTo53 && std::trunc(value) == value)
        return formatGroupedInteger(static_cast<std::int64_t>(value));
    if (std::fabs(value) >= kTwoTo53)
        return formatLargeWhole(value);
    return formatFixed(value, maxFractionDigits);
}

} // namespace ZulNumberFormatter
