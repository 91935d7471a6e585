#include "VeskKit/Utilities/VeskByteFormatter.h"

#include <QTextBoundaryFinder>

#include <charconv>
#include <cmath>
#include <limits>

namespace {

// printf("%.*f") without the C library's locale: to_chars with a precision is
// defined to print exactly what printf prints in the "C" locale.
QString fixed(double value, int fractionDigits)
{
    char buffer[400]; // the longest double printed with two fraction digits fits easily
    const auto [end, error] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, fractionDigits);
    if (error != std::errc())
        return QStringLiteral("0");
    return QString::fromLatin1(buffer, end - buffer);
}

QString twoDigits(qint64 value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// Halves away from zero, saturated to the qint64 range; NaN gives 0.
qint64 roundedSeconds(double value)
{
    if (std::isnan(value))
        return 0;
    const double rounded = std::round(value);
    // 2^63 is exactly representable; every double below it converts safely.
    constexpr double limit = 9223372036854775808.0;
    if (rounded >= limit)
        return std::numeric_limits<qint64>::max();
    if (rounded < -limit)
        return std::numeric_limits<qint64>::min();
    return static_cast<qint64>(rounded);
}

bool isGuardedLeadCharacter(QChar c)
{
    switch (c.unicode()) {
    case u'=':
    case u'+':
    case u'-':
    case u'@':
    case u'\t':
    case u'\r':
        return true;
    default:
        return false;
    }
}

// The guard looks at the first user-perceived character: "=" with a combining
// mark, or CR followed by LF, is a different character from the bare one.
bool startsWithGuardedCharacter(const QString& field)
{
    if (field.isEmpty() || !isGuardedLeadCharacter(field.front()))
        return false;
    if (field.size() == 1)
        return true;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, field);
    return finder.toNextBoundary() == 1;
}

} // namespace

namespace VeskByteFormatter {

QString format(qint64 byteCount)
{
    const qint64 n = byteCount < 0 ? 0 : byteCount;
    if (n <= 999)
        return QString::number(n) + QStringLiteral(" B");
    const double value = static_cast<double>(n);
    if (n <= 999'999)
        return fixed(value / 1e3, 1) + QStringLiteral(" KB");
    if (n <= 999'999'999)
        return fixed(value / 1e6, 1) + QStringLiteral(" MB");
    if (n <= 999'999'999'999)
        return fixed(value / 1e9, 2) + QStringLiteral(" GB");
    return fixed(value / 1e12, 2) + QStringLiteral(" TB");
}

QString formatRate(double bytesPerSecond)
{
    const double rate = (std::isnan(bytesPerSecond) || bytesPerSecond < 0) ? 0 : bytesPerSecond;
    if (rate < 1e3)
        return QString::number(static_cast<qint64>(std::round(rate))) + QStringLiteral(" B/s");
    if (rate < 1e6)
        return fixed(rate / 1e3, 1) + QStringLiteral(" KB/s");
    if (rate < 1e9)
        return fixed(rate / 1e6, 1) + QStringLiteral(" MB/s");
    return fixed(rate / 1e9, 2) + QStringLiteral(" GB/s");
}

QString formatDuration(double seconds)
{
    const qint64 t = roundedSeconds(seconds);
    const qint64 c = t < 0 ? 0 : t;
    const qint64 hours = c / 3600;
    const qint64 minutes = (c % 3600) / 60;
    const qint64 secs = c % 60;
    if (t < 3600)
        return twoDigits(minutes) + QLatin1Char(':') + twoDigits(secs);
    return QString::number(hours) + QLatin1Char(':') + twoDigits(minutes) + QLatin1Char(':') + twoDigits(secs);
}

double savingsPercent(qint64 original, qint64 optimized)
{
    if (original <= 0)
        return 0;
    qint64 saved = 0;
    // Beyond the 64-bit range the difference is taken in doubles instead of
    // overflowing.
    const double difference = __builtin_sub_overflow(original, optimized, &saved)
        ? static_cast<double>(original) - static_cast<double>(optimized)
        : static_cast<double>(saved);
    return difference / static_cast<double>(original) * 100;
}

QString csvSafeField(const QString& field)
{
    QString result;
    result.reserve(field.size() + 3);
    result += QLatin1Char('"');
    if (startsWithGuardedCharacter(field))
        result += QLatin1Char('\'');
    for (const QChar c : field) {
        if (c == QLatin1Char('"'))
            result += QLatin1Char('"');
        result += c;
    }
    result += QLatin1Char('"');
    return result;
}

} // namespace VeskByteFormatter
