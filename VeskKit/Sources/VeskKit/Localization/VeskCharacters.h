#pragma once

#include <QStringView>

// Counting and slicing text by user-perceived characters (grapheme clusters),
// so that an accented letter or an emoji counts once.
namespace VeskCharacters {

qsizetype count(QStringView text);
// Where the text's first character of a script (a letter of some writing
// system; not a digit, a sign or a mark) ends, or 0 when it has none. Qt
// takes the characters before it to be of its script, and some scripts
// decide where their characters end, how they are shaped and where lines
// break: a beginning that is to be cut as the whole text is must hold it.
qsizetype scriptLead(QStringView text);
// How many code units the first `n` characters take (the whole text's
// size when it has fewer), reading no more of a long text than they need.
qsizetype prefixLength(QStringView text, qsizetype n);
// The first / last `n` characters (the whole text when it has fewer).
QStringView prefix(QStringView text, qsizetype n);
QStringView suffix(QStringView text, qsizetype n);

// A letter, a combining mark or a digit of any script: what a name keeps
// when it is boiled down to a slug.
bool isLetterOrDigit(char32_t scalar);

} // namespace VeskCharacters
