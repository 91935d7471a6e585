#include "Engine/ZulIdentifierNormalizer.h"

#include <QChar>
#include <QTextBoundaryFinder>

namespace {

constexpr char16_t kCapitalIWithDot = u'\u0130';
constexpr char16_t kCombiningDotAbove = u'\u0307';
constexpr char16_t kDotlessI = u'\u0131';

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
    // The dots go before the trim: a dot left at either end after blanks
    // would otherwise leave those blanks for the next fold to take, and a
    // folded name must fold to itself.
    QString folded = text;
    folded.replace(QChar(kCapitalIWithDot), QChar(u'i'));
    folded.remove(QChar(kCombiningDotAbove));
    return folded.toLower().trimmed();
}

QString normalizeTurkish(const QString &text)
{
    if (!text.contains(u'I'))
        return normalize(text);
    return normalize(QString(text).replace(u'I', kDotlessI));
}

FoldedName::FoldedName(QStringView text, bool turkish)
{
    const char16_t *data = text.utf16();
    qsizetype begin = 0;
    qsizetype end = text.size();
    // QString::trimmed's white space, which for ASCII text is exactly the
    // blanks the ASCII fold trims; dots are dropped before that trim.
    const auto dropped = [](char16_t c) { return QChar::isSpace(c) || c == kCombiningDotAbove; };
    while (begin < end && dropped(data[begin]))
        ++begin;
    while (end > begin && dropped(data[end - 1]))
        --end;
    for (qsizetype i = begin; i < end; ++i) {
        char16_t c = data[i];
        if (c < 0x80) {
            if (c == u'I') {
                m_hasCapitalI = true;
                c = turkish ? kDotlessI : u'i';
            } else if (c >= u'A' && c <= u'Z') {
                c = char16_t(c + (u'a' - u'A'));
            }
        } else if (c == kCombiningDotAbove) {
            continue;
        } else if (c == kCapitalIWithDot) {
            c = u'i';
        } else if (QChar::isSurrogate(c)) {
            // Lower-casing keeps such a character outside the plane, where
            // no word of a table lies.
            m_fits = false;
            return;
        } else {
            // Per character, this is QString::toLower: its only lower-case
            // mapping of more than one character is that of İ, taken above.
            c = char16_t(QChar::toLower(char32_t(c)));
        }
        if (m_length == capacity) {
            m_fits = false;
            return;
        }
        m_folded[m_length++] = c;
    }
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
