#pragma once

#include "Models/ZulResult.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QJsonValue>

// The text form of the notes, settings and rates files.
//
// Both directions are our own, for speed with a large collection: Qt's
// reader builds every string that holds an escape one character at a time
// (and a notes file is mostly such strings: every line break is one), and
// its writer copies the growing text again for each nested container.
namespace ZulJsonText {

// Strict JSON: a single object or array, UTF-8 without a byte-order mark,
// nothing but white space after it, nesting at most 512 levels deep. An
// integer that fits 64 bits is kept exactly; a number beyond the range of a
// double is refused. A repeated key keeps its last value.
ZulResult<QJsonValue> parse(QByteArrayView text);

// Pretty-printed: one member per line, four-space indentation, keys in
// ascending order, empty containers as [] and {}, UTF-8, a final newline.
// An unpaired surrogate is kept as a \uXXXX escape; a number that is not
// finite (which JSON cannot hold) is written as null.
QByteArray format(const QJsonValue &value);

// Pieces of format()'s text, for writers that assemble it themselves: a
// string, and a value standing `depth` levels deep, exactly as format()
// writes them there (no final newline).
void appendString(QByteArray &out, const QString &text);
void appendValue(QByteArray &out, const QJsonValue &value, int depth);

} // namespace ZulJsonText
