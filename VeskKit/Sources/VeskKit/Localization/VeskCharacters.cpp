#include "VeskKit/Localization/VeskCharacters.h"

#include <QTextBoundaryFinder>

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

QStringView prefix(QStringView text, qsizetype n)
{
    if (n <= 0)
        return text.first(0);
    if (isSimple(text))
        return text.first(qMin(n, text.size()));
    QTextBoundaryFinder finder = graphemes(text);
    qsizetype end = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const qsizetype next = finder.toNextBoundary();
        if (next < 0)
            break;
        end = next;
    }
    return text.first(end);
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
