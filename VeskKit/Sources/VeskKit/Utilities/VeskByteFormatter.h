#pragma once

#include <QString>
#include <QtGlobal>

// Short display texts for byte counts, rates, durations and size savings, and
// the quoting of one CSV field. Units are decimal (1 KB = 1000 B). Numbers are
// printed without any locale: a point before the fraction, no grouping, so the
// same count reads the same on every desktop. Stateless; any thread.
namespace VeskByteFormatter {

// "0 B" … "999 B", then "%.1f KB", "%.1f MB", "%.2f GB", "%.2f TB" (no unit
// above TB). A negative count shows as 0 B.
QString format(qint64 byteCount);

// "12 B/s" (whole bytes, halves away from zero), "%.1f KB/s", "%.1f MB/s",
// "%.2f GB/s". Negative rates and NaN show as 0 B/s.
QString formatRate(double bytesPerSecond);

// "MM:SS" below an hour, "H:MM:SS" from an hour on (hours neither padded nor
// capped). Seconds are rounded halves away from zero; negative durations and
// NaN show as 00:00, and durations too long for 64-bit seconds as the
// longest one that fits.
QString formatDuration(double seconds);

// How much smaller `optimized` is than `original`, in percent; negative when
// it grew, 0 when `original` is not positive.
double savingsPercent(qint64 original, qint64 optimized);

// The text as one quoted CSV field: inner double quotes doubled, always
// wrapped in quotes, and an apostrophe put before a field whose first
// character (a whole grapheme) is = + - @ TAB or CR, so a spreadsheet shows it
// as text instead of running it as a formula.
QString csvSafeField(const QString& field);

} // namespace VeskByteFormatter
