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

// The Turkish reading of the same text: as normalize(), except that a
// capital I is the capital of the dotless ı ("YARIN" reads yarın). The words
// of the note language match under either reading.
QString normalizeTurkish(const QString &text);

// A short text folded as normalize() or normalizeTurkish() folds it, into a
// buffer of its own: for looking names up in fixed tables without a copy of
// the text. A text that folds to more than `capacity` characters, or that
// holds a character outside the Basic Multilingual Plane, is no name of any
// table (fits() is false).
class FoldedName
{
public:
    static constexpr qsizetype capacity = 32;

    explicit FoldedName(QStringView text, bool turkish = false);

    bool fits() const { return m_fits; }
    QStringView view() const { return QStringView(m_folded, m_length); }
    // Whether the text holds a capital I, so that its Turkish reading differs.
    bool hasCapitalI() const { return m_hasCapitalI; }
    void chop(qsizetype n) { m_length -= n; }

private:
    char16_t m_folded[capacity];
    qsizetype m_length = 0;
    bool m_fits = true;
    bool m_hasCapitalI = false;
};

bool isIdentifierStart(QStringView character);
bool isIdentifierContinue(QStringView character);
bool isIdentifierStart(char32_t codePoint);
bool isIdentifierContinue(char32_t codePoint);

// Non-empty after trimming, starts with a letter or "_", continues with
// letters, number characters or "_". There are no reserved words.
bool isValidIdentifier(const QString &text);

} // namespace ZulIdentifierNormalizer
