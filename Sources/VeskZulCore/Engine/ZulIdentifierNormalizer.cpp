#include "Engine/ZulIdentifierNormalizer.h"

#include <QChar>
#include <QTextBoundaryFinder>

namespace {

constexpr char16_t kCapitalIWithDot = u'\u0130';
constexpr char16_t kCombiningDotAbove = u'\u0307';

bool isAsciiBlank(char16_t c)
{
    return c == u' ' || (c >= 9 && c <= 13);
}

char32_t firstCodePoint(QStringView text)
{
    if (text.isEmpty())
        return 0;
    const char16_t first = text.utf16()[0];
    if (QChar::isHighSurrogate(first) && text.size() > 1 && QChar::isLowSurrogate(text.utf16()[1]))
        return QChar::surrogateToUcs4(first, text.utf16()[1]);
    return first;
}

QString normalizeAscii(const QString &text)
{
    const auto *data = reinterpret_cast<const char16_t *>(text.constData());
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isAsciiBlank(data[begin]))
        ++begin;
    while (end > begin && isAsciiBlank(data[end - 1]))
        --end;

    bool hasUpper = false;
    for (qsizetype i = begin; i < end && !hasUpper; ++i)
        hasUpper = data[i] >= u'A' && data[i] <= u'Z';

    if (!hasUpper && begin == 0 && end == text.size())
        return text;

    QString folded(end - begin, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(folded.data());
    for (qsizetype i = begin; i < end; ++i) {
        const char16_t c = data[i];
        *out++ = (c >= u'A' && c <= u'Z') ? char16_t(c + (u'a' - u'A')) : c;
    }
    return folded;
}

} // namespace

namespace ZulIdentifierNormalizer {

QString normalize(const QString &text)
{
    const auto *data = reinterpret_cast<const char16_t *>(text.constData());
    bool ascii = true;
    for (qsizetype i = 0, n = text.size(); i < n; ++i) {
        if (data[i] >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return normalizeAscii(text);

    // QString::toLower applies the Unicode default case mapping and ignores the
    // process locale, which is what keeps capital I from becoming dotless ı.
    QString folded = text.trimmed();
    folded.replace(QChar(kCapitalIWithDot), QChar(u'i'));
    folded = folded.toLower();
    folded.remove(QChar(kCombiningDotAbove));
    return folded;
}

bool isIdentifierStart(char32_t codePoint)
{
    return codePoint == U'_' || QChar::isLetter(codePoint);
}

bool isIdentifierContinue(char32_t codePoint)
{
    return codePoint == U'_' || QChar::isLetter(codePoint) || QChar::isNumber(codePoint);
}

bool isIdentifierStart(QStringView character)
{
    return !character.isEmpty() && isIdentifierStart(firstCodePoint(character));
}

bool isIdentifierContinue(QStringView character)
{
    return !character.isEmpty() && isIdentifierContinue(firstCodePoint(character));
}

bool isValidIdentifier(const QString &text)
{
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return false;

    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, trimmed);
    qsizetype start = 0;
    bool first = true;
    while (start < trimmed.size()) {
        qsizetype next = finder.toNextBoundary();
        if (next < 0)
            next = trimmed.size();
        const QStringView character = QStringView(trimmed).mid(start, next - start);
        if (first ? !isIdentifierStart(character) : !isIdentifierContinue(character))
            return false;
        first = false;
        start = next;
    }
    return true;
}

} // namespace ZulIdentifierNormalizer
