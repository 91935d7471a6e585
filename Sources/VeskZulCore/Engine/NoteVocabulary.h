#pragma once

#include "Engine/FoldedNameTable.h"

#include <QFlags>
#include <QList>
#include <QString>
#include <QStringView>

#include <span>

// The words of the note language in one table: each with the language it
// comes from and every role it plays. The parser's names, the engine's
// keyword lines and quick pre-checks, and the alternatives inside the
// regular expressions are all made from this table, once, so a word added
// here is understood everywhere it belongs and nowhere else.
//
// Words are stored folded (ZulIdentifierNormalizer::normalize), which is how
// every reader compares them.
namespace NoteVocabulary {

enum class Language : quint8 {
    english,
    turkish,
    shared, // written the same in both: symbols, and the names of mathematics
};

enum class Role : quint32 {
    aggregate = 1 << 0,     // a line of its own that sums up (averages, counts, ...) the block above it
    blockSymbol = 1 << 1,   // a name in an expression standing for the same over the block
    blockFunction = 1 << 2, // name() does it over the block, name(a, b, ...) over its arguments
    function = 1 << 3,      // name(a, ...) of its arguments only
    constant = 1 << 4,
    previous = 1 << 5,      // the value of the last line that had one
    tax = 1 << 6,           // a tax or fee after "+ N%" or "- N%"; read and ignored, the sign decides
    discount = 1 << 7,      // likewise
    connector = 1 << 8,     // between an amount with its unit and the unit to convert it to
    percentageOf = 1 << 9,  // "N% of ..."
    dayWord = 1 << 10,      // a day, alone or moved by a number of date units
    dateUnit = 1 << 11,
    dayCount = 1 << 12,     // a phrase before a date that counts the days to or from it
};
Q_DECLARE_FLAGS(Roles, Role)

// What a word stands for; words of one meaning are synonyms in every role
// they share.
enum class Meaning : quint8 {
    none,
    sum,
    average,
    minimum,
    maximum,
    count,
    squareRoot,
    absolute,
    rounded,
    floor,
    ceiling,
    power,
    logarithm10,
    naturalLogarithm,
    sine,
    cosine,
    pi,
    eulerNumber,
    previous,
    now, // "today" is the moment of evaluation too, not the start of its day
    tomorrow,
    yesterday,
    days,
    weeks,
    months,
    years,
    hours,
    daysUntil,
    daysSince,
};

struct Word
{
    QStringView text;
    Language language;
    Roles roles;
    Meaning meaning;
};

std::span<const Word> words();

// The words with any of `roles`, in table order.
QList<const Word *> wordsWith(Roles roles);

// Words as the alternatives of a regular-expression group: "a|b|c".
QString alternatives(const QList<const Word *> &words);
inline QString alternatives(Roles roles)
{
    return alternatives(wordsWith(roles));
}
// The same for a pattern that ignores letter case, where each i and ı also
// matches its Turkish capital: "İndirim" and "VERGİ" are words as "INDIRIM"
// is. (Letter case alone never pairs i with İ, nor ı with I.)
QString anyCaseAlternatives(Roles roles);

// The longest of those words, in UTF-16 code units.
qsizetype longest(Roles roles);

// The words of some roles, for looking names up among them.
class Lookup
{
public:
    explicit Lookup(Roles roles);

    // Null when `folded` is none of them.
    const Word *find(QStringView folded) const { return unwrap(m_table.find(folded)); }
    // Null when `text` as typed names none of them (see FoldedNameTable).
    const Word *findName(QStringView text, FoldedNameTable<const Word *>::Option option =
                                               FoldedNameTable<const Word *>::exact) const
    {
        return unwrap(m_table.findName(text, option));
    }

    static constexpr auto allowCallParentheses = FoldedNameTable<const Word *>::allowCallParentheses;

private:
    static const Word *unwrap(const Word *const *found) { return found ? *found : nullptr; }
    FoldedNameTable<const Word *> m_table;
};

} // namespace NoteVocabulary

Q_DECLARE_OPERATORS_FOR_FLAGS(NoteVocabulary::Roles)
