#include "Engine/NoteLineText.h"

#include "Engine/ArithmeticParser.h"

#include <QChar>
#include <QTextBoundaryFinder>

namespace {

bool isSpace(char16_t c)
{
    if (c < 0x80)
        return c == u' ' || (c >= 9 && c <= 13);
    return QChar::isSpace(c);
}

bool isAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

} // namespace

namespace NoteLineText {

QStringView trimmed(QStringView text)
{
    const char16_t *data = text.utf16();
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isSpace(data[begin]))
        ++begin;
    while (end > begin && isSpace(data[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

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
    const QStringView t = trimmed(text);
    if (t.size() != 10 || t[4] != u'-' || t[7] != u'-')
        return false;
    for (const qsizetype i : {0, 1, 2, 3, 5, 6, 8, 9}) {
        if (!isAsciiDigit(t.utf16()[i]))
            return false;
    }
    return true;
}

std::optional<double> arithmetic(QStringView text, const ArithmeticContext &context)
{
    if (isBareIsoDate(text))
        return std::nullopt;
    return ArithmeticParser::evaluate(text, context);
}

} // namespace NoteLineText
