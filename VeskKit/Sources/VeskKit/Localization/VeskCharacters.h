#pragma once

#include <QStringView>

// Counting and slicing text by user-perceived characters (grapheme clusters),
// so that an accented letter or an emoji counts once.
namespace VeskCharacters {

qsizetype count(QStringView text);
// The first / last `n` characters (the whole text when it has fewer).
QStringView prefix(QStringView text, qsizetype n);
QStringView suffix(QStringView text, qsizetype n);

// A letter, a combining mark or a digit of any script: what a name keeps
// when it is boiled down to a slug.
bool isLetterOrDigit(char32_t scalar);

} // namespace VeskCharacters
