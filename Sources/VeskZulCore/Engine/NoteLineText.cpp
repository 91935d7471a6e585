#include "Engine/NoteLineText.h"

#include "Engine/ArithmeticParser.h"
#include "Engine/NoteVocabulary.h"

#include <QChar>
#include <QTextBoundaryFinder>

namespace {

bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

namespace NoteLineText {

bool startsWithCharacters(QStringView text, QStringView prefix)
{
    if (!text.startsWith(prefix))
        return false;
    const qsizetype at = prefix.size();
    if (at == 0 || at == text.size())
        return true;
    // Nothing below U+0300 attaches to the character before it.
    if (text.utf16()[at] < 0x300)
        return true;
    // Every prefix used here ends in a plain ASCII character, so whether the
    // next character joins it depends on these two alone.
    const QStringView window = text.mid(at - 1, qMin<qsizetype>(3, text.size() - at + 1));
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, window.data(), window.size());
    finder.setPosition(1);
    return finder.isAtBoundary();
}

bool isBareIsoDate(QStringView text)
{
    if (text.size() < 10)
        return false;
    const QStringView t = trimmed(text);
    if (t.size() != 10 || t[4] != u'-' || t[7] != u'-')
        return false;
    for (const qsizetype i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (!isAsciiDigit(t.utf16()[i]))
            return false;
    }
    return true;
}

namespace {

bool isAsciiSpace(char16_t c)
{
    return c == u' ' || (c >= 9 && c <= 13);
}

// \d+(?:[.,]\d+)? from `at`; where it ends, or `at` when there is none.
qsizetype skipPercentNumber(const char16_t *data, qsizetype n, qsizetype at)
{
    qsizetype j = at;
    while (j < n && isAsciiDigit(data[j]))
        ++j;
    if (j == at)
        return at;
    if (j + 1 < n && (data[j] == u'.' || data[j] == u',') && isAsciiDigit(data[j + 1])) {
        j += 2;
        while (j < n && isAsciiDigit(data[j]))
            ++j;
    }
    return j;
}

// Whether `text` is one of the tax and discount words in any letter case,
// as the pattern's alternatives match an ASCII text: i also as I, ı as I.
bool isTaxWord(QStringView text)
{
    using NoteVocabulary::Role;
    static const QList<const NoteVocabulary::Word *> words = NoteVocabulary::wordsWith(Role::tax | Role::discount);
    for (const NoteVocabulary::Word *word : words) {
        if (word->text.size() != text.size())
            continue;
        qsizetype k = 0;
        for (; k < text.size(); ++k) {
            char16_t c = text.utf16()[k];
            const char16_t w = word->text.utf16()[k];
            if (c >= u'A' && c <= u'Z')
                c = char16_t(c + (u'a' - u'A'));
            if (c != w && !(w == u'\u0131' && text.utf16()[k] == u'I'))
                break;
        }
        if (k == text.size())
            return true;
    }
    return false;
}

} // namespace

std::optional<PercentageChange> readAsciiPercentageChange(QStringView text)
{
    const char16_t *data = text.utf16();
    const qsizetype n = text.size();
    // The pattern's first group is the shortest that lets the rest match,
    // and the rest (a sign, the percentage, perhaps a word) is read one way
    // only; so the first sign after which the rest reads is the one.
    for (qsizetype sign = 1; sign < n; ++sign) {
        if (data[sign] != u'+' && data[sign] != u'-')
            continue;
        qsizetype j = sign + 1;
        while (j < n && isAsciiSpace(data[j]))
            ++j;
        qsizetype numberStart = j;
        qsizetype numberEnd = j;
        if (j < n && data[j] == u'%') {
            numberStart = j + 1;
            numberEnd = skipPercentNumber(data, n, numberStart);
            if (numberEnd == numberStart)
                continue;
            j = numberEnd;
        } else {
            numberEnd = skipPercentNumber(data, n, numberStart);
            if (numberEnd == numberStart || numberEnd == n || data[numberEnd] != u'%')
                continue;
            j = numberEnd + 1;
        }
        if (j < n) {
            if (!isAsciiSpace(data[j]))
                continue;
            while (j < n && isAsciiSpace(data[j]))
                ++j;
            if (!isTaxWord(text.mid(j)))
                continue;
        }
        qsizetype baseEnd = sign;
        while (baseEnd > 1 && isAsciiSpace(data[baseEnd - 1]))
            --baseEnd;
        return PercentageChange{text.left(baseEnd), data[sign] == u'+',
                                text.mid(numberStart, numberEnd - numberStart)};
    }
    return std::nullopt;
}

} // namespace NoteLineText
