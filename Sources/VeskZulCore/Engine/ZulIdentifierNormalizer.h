#pragma once

#include <QString>
#include <QStringView>

// The one folding rule for every name the core looks up: variables, functions,
// symbols, aggregate keywords, unit and currency aliases, day words.
//
// A "character" here is one user-perceived character (grapheme cluster); its
// class is decided by its first code point.
namespace ZulIdentifierNormalizer {

// Trims white space at both ends and lower-cases, locale-independently, so a
// Turkish capital I folds to i (never the dotless ı) and İ folds to i as well.
// Inner spaces and all other letters (ş, ğ, ç, ö, ü, ı) are kept.
QString normalize(const QString &text);

bool isIdentifierStart(QStringView character);
bool isIdentifierContinue(QStringView character);
bool isIdentifierStart(char32_t codePoint);
bool isIdentifierContinue(char32_t codePoint);

// Non-empty after trimming, starts with a letter or "_", continues with
// letters, number characters or "_". There are no reserved words.
bool isValidIdentifier(const QString &text);

} // namespace ZulIdentifierNormalizer
