#include "Engine/NoteVocabulary.h"

#include <algorithm>

namespace NoteVocabulary {

namespace {

using enum Language;
using enum Meaning;

constexpr Roles kAggregateWord = Role::aggregate | Role::blockSymbol | Role::blockFunction;
constexpr Roles kAggregateName = Role::aggregate | Role::blockSymbol;

// Within a role the order is the order of the regular expressions'
// alternatives.
constexpr Word kWords[] = {
    {u"sum", english, kAggregateWord, sum},
    {u"toplam", turkish, kAggregateWord, sum},
    {u"total", english, kAggregateName, sum},
    {u"avg", english, kAggregateWord, average},
    {u"average", english, kAggregateName, average},
    {u"ortalama", turkish, kAggregateWord, average},
    {u"mean", english, kAggregateName, average},
    {u"min", shared, kAggregateName | Role::function, minimum},
    {u"minimum", shared, kAggregateName, minimum},
    {u"en küçük", turkish, Role::aggregate, minimum},
    {u"max", shared, kAggregateName | Role::function, maximum},
    {u"maximum", shared, kAggregateName, maximum},
    {u"en büyük", turkish, Role::aggregate, maximum},
    {u"count", english, kAggregateName, count},
    {u"adet", turkish, kAggregateName, count},
    {u"sayı", turkish, Role::aggregate, count},

    {u"sqrt", shared, Role::function, squareRoot},
    {u"abs", shared, Role::function, absolute},
    {u"round", shared, Role::function, rounded},
    {u"floor", shared, Role::function, floor},
    {u"ceil", shared, Role::function, ceiling},
    {u"pow", shared, Role::function, power},
    {u"log", shared, Role::function, logarithm10},
    {u"log10", shared, Role::function, logarithm10},
    {u"ln", shared, Role::function, naturalLogarithm},
    {u"sin", shared, Role::function, sine},
    {u"cos", shared, Role::function, cosine},

    {u"pi", shared, Role::constant, pi},
    {u"π", shared, Role::constant, pi},
    {u"e", shared, Role::constant, eulerNumber},
    {u"prev", english, Role::previous, previous},
    {u"ans", english, Role::previous, previous},
    {u"önceki", turkish, Role::previous, previous},

    {u"kdv", turkish, Role::tax, none},
    {u"vat", english, Role::tax, none},
    {u"tax", english, Role::tax, none},
    {u"vergi", turkish, Role::tax, none},
    {u"indirim", turkish, Role::discount, none},
    {u"discount", english, Role::discount, none},
    {u"komisyon", turkish, Role::tax, none},
    {u"stopaj", turkish, Role::tax, none},
    {u"ötv", turkish, Role::tax, none},
    {u"of", english, Role::percentageOf, none},

    {u"to", english, Role::connector, none},
    {u"in", english, Role::connector, none},
    {u"->", shared, Role::connector, none},
    {u"=>", shared, Role::connector, none},
    {u"kaç", turkish, Role::connector, none},

    {u"today", english, Role::dayWord, now},
    {u"tomorrow", english, Role::dayWord, tomorrow},
    {u"yesterday", english, Role::dayWord, yesterday},
    {u"now", english, Role::dayWord, now},
    {u"bugün", turkish, Role::dayWord, now},
    {u"yarın", turkish, Role::dayWord, tomorrow},
    {u"dün", turkish, Role::dayWord, yesterday},
    {u"şimdi", turkish, Role::dayWord, now},

    {u"day", english, Role::dateUnit, days},
    {u"days", english, Role::dateUnit, days},
    {u"week", english, Role::dateUnit, weeks},
    {u"weeks", english, Role::dateUnit, weeks},
    {u"month", english, Role::dateUnit, months},
    {u"months", english, Role::dateUnit, months},
    {u"year", english, Role::dateUnit, years},
    {u"years", english, Role::dateUnit, years},
    {u"hour", english, Role::dateUnit, hours},
    {u"hours", english, Role::dateUnit, hours},
    {u"gün", turkish, Role::dateUnit, days},
    {u"hafta", turkish, Role::dateUnit, weeks},
    {u"ay", turkish, Role::dateUnit, months},
    {u"yıl", turkish, Role::dateUnit, years},
    {u"saat", turkish, Role::dateUnit, hours},

    {u"days until", english, Role::dayCount, daysUntil},
    {u"days to", english, Role::dayCount, daysUntil},
    {u"days since", english, Role::dayCount, daysSince},
};

} // namespace

std::span<const Word> words()
{
    return kWords;
}

QList<const Word *> wordsWith(Roles roles)
{
    QList<const Word *> found;
    for (const Word &word : kWords) {
        if (word.roles.testAnyFlags(roles))
            found.append(&word);
    }
    return found;
}

namespace {

QList<FoldedNameTable<const Word *>::Entry> entriesWith(Roles roles)
{
    QList<FoldedNameTable<const Word *>::Entry> entries;
    for (const Word *word : wordsWith(roles))
        entries.append({word->text, word});
    return entries;
}

} // namespace

Lookup::Lookup(Roles roles) : m_table(entriesWith(roles))
{
}

namespace {

QString patternOf(const QList<const Word *> &words, bool turkishCapitals)
{
    // Only what is special outside a character class is escaped, so the
    // pattern reads as if written by hand and compiles to the same program.
    static const QStringView special = u"\\^$.|?*+()[]{}";
    QString pattern;
    for (const Word *word : words) {
        if (!pattern.isEmpty())
            pattern += u'|';
        for (const QChar c : word->text) {
            if (turkishCapitals && c == u'i')
                pattern += u"(?-i:[iI\u0130])";
            else if (turkishCapitals && c == u'\u0131')
                pattern += u"(?-i:[\u0131I])";
            else if (special.contains(c))
                pattern += QLatin1Char('\\') + c;
            else
                pattern += c;
        }
    }
    return pattern;
}

} // namespace

QString alternatives(const QList<const Word *> &words)
{
    return patternOf(words, false);
}

QString anyCaseAlternatives(Roles roles)
{
    return patternOf(wordsWith(roles), true);
}

qsizetype longest(Roles roles)
{
    qsizetype length = 0;
    for (const Word *word : wordsWith(roles))
        length = std::max(length, word->text.size());
    return length;
}

} // namespace NoteVocabulary
