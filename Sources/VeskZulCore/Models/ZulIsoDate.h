#pragma once

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <optional>

// The one date form of the notes, settings and rates files: UTC with whole
// seconds, "YYYY-MM-DDTHH:MM:SSZ". Reading is strict on purpose: a file whose
// dates were written in any other form is not one of ours and must not be
// half-understood.
namespace ZulIsoDate {

// False for an invalid date or a year outside 1...9999, which the form cannot hold.
bool isEncodable(const QDateTime &instant);

// Fractions of a second are dropped (truncated towards the past).
// Empty for a date isEncodable() refuses.
QString format(const QDateTime &instant);

std::optional<QDateTime> parse(QStringView text);

} // namespace ZulIsoDate
