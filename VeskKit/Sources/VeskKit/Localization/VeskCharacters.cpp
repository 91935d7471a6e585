#include "VeskKit/Localization/VeskCharacters.h"

#include <QTextBoundaryFinder>

#include <algorithm>

namespace {

// Below U+0300 every code unit is a character of its own, except a carriage
// return followed by a line feed.
bool isSimple(QStringView text)
{
    for (QChar c : text)
        if (c.unicode() >= 0x300 || c == QLatin1Char('\r'))
            return false;
    return true;
}

QTextBoundaryFinder graphemes(QStringView text)
{
    return QTextBoundaryFinder(QTextBoundaryFinder::Grapheme, text.data(), text.size());
}

} // namespace

namespace VeskCharacters {

qsizetype count(QStringView text)
{
    if (isSimple(text))
        return text.size();
    QTextBoundaryFinder finder = graphemes(text);
    qsizetype n = 0;
    while (finder.toNextBoundary() > 0)
        ++n;
    return n;
}

qsizetype scriptLead(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        char32_t scalar = text.at(i).unicode();
        if (QChar::isHighSurrogate(scalar) && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            scalar = QChar::surrogateToUcs4(text.at(i), text.at(i + 1));
            ++i;
        }
        if (QChar::script(scalar) > QChar::Script_Common)
            return i + 1;
    }
    return 0;
}

qsizetype prefixLength(QStringView text, qsizetype n)
{
    if (n <= 0)
        return 0;
    // A character holds at least one code unit.
    if (text.size() <= n)
        return text.size();
    // The unit after the first n decides whether the n-th is a character
    // of its own.
    if (isSimple(text.first(n + 1)))
        return n;
    // A boundary finder reads all of the text it is given before it finds
    // the first boundary, so it is given ever longer beginnings of the
    // text, until one holds n whole characters or the beginning is the
    // whole text. Each holds the text's first character of a script, which
    // decides how the characters before it are cut.
    for (qsizetype length = std::max(2 * n + 2, scriptLead(text));; length *= 2) {
        const bool whole = length >= text.size();
        if (whole)
            length = text.size();
        // A boundary before the last character of a beginning is one of
        // the whole text too: it depends only on the characters around and
        // before it, and on that first character of a script.
        else if (QChar::isHighSurrogate(text.at(length - 1).unicode()))
            ++length;
        QTextBoundaryFinder finder = graphemes(text.first(length));
        qsizetype characters = 0;
        for (qsizetype boundary = finder.toNextBoundary(); boundary != -1; boundary = finder.toNextBoundary()) {
            // The last boundary of a beginning may fall inside a character.
            if (!whole && boundary >= length - 1)
                break;
            if (++characters == n)
                return boundary;
        }
        if (whole)
            return text.size();
    }
}

QStringView prefix(QStringView text, qsizetype n)
{
    return text.first(prefixLength(text, n));
}

QStringView suffix(QStringView text, qsizetype n)
{
    if (n <= 0)
        return text.last(0);
    if (isSimple(text))
        return text.last(qMin(n, text.size()));
    QTextBoundaryFinder finder = graphemes(text);
    finder.toEnd();
    qsizetype start = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype previous = finder.toPreviousBoundary();
        if (previous < 0)
            break;
        start = previous;
    }
    return text.sliced(start);
}

bool isLetterOrDigit(char32_t scalar)
{
    switch (QChar::category(scalar)) {
    case QChar::Letter_Uppercase:
    case QChar::Letter_Lowercase:
    case QChar::Letter_Titlecase:
    case QChar::Letter_Modifier:
    case QChar::Letter_Other:
    case QChar::Mark_NonSpacing:
    case QChar::Mark_SpacingCombining:
    case QChar::Mark_Enclosing:
    case QChar::Number_DecimalDigit:
    case QChar::Number_Letter:
    case QChar::Number_Other:
        return true;
    default:
        return false;
    }
}

} // namespace VeskCharacters
