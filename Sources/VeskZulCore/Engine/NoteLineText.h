#pragma once

#include "Engine/ArithmeticContext.h"
#include "Engine/ArithmeticParser.h"

#include <QChar>
#include <QString>
#include <QStringView>

#include <optional>

// Small text operations the note engine applies to every line. They work on
// views into the note so that a line costs no copy until a result is kept.
namespace NoteLineText {

// White space and newlines at both ends removed. Within one line there are no
// newline characters left, so this is also the trim "of white space other
// than newlines". Inline: every line is trimmed several times, and the call
// cost more than the usual trim of nothing.
inline QStringView trimmed(QStringView text)
{
    const auto isSpace = [](char16_t c) { return c < 0x80 ? c == u' ' || (c >= 9 && c <= 13) : QChar::isSpace(c); };
    const char16_t *data = text.utf16();
    qsizetype begin = 0;
    qsizetype end = text.size();
    // Most texts are trimmed already: ASCII above the space at both ends
    // is never white space, and then nothing needs cutting.
    const auto plainEnd = [](char16_t c) { return c > u' ' && c < 0x80; };
    if (end > 0 && plainEnd(data[0]) && plainEnd(data[end - 1]))
        return text;
    while (begin < end && isSpace(data[begin]))
        ++begin;
    while (end > begin && isSpace(data[end - 1]))
        --end;
    return text.mid(begin, end - begin);
}

// A QString over the view's characters without copying them, for interfaces
// that take a QString. Never keep it beyond the life of the note text.
inline QString borrowed(QStringView text)
{
    return QString::fromRawData(text.data(), text.size());
}

// True when `text` begins with the characters of `prefix` and the character
// after them is not glued to the last one (a combining mark turns "#" into
// another character, as it does for "- [ ]").
bool startsWithCharacters(QStringView text, QStringView prefix);

// YYYY-MM-DD and nothing else: a date, which must never be read as the
// subtraction 2025 - 01 - 15.
bool isBareIsoDate(QStringView text);

// The parts of a percentage change, "base + N%" or "base - %N" with an
// optional tax or discount word after it, as the percentage pattern
// captures them; read by hand from a line of ASCII characters only, where
// the pattern's white space, digits and letter cases have their plain ASCII
// meaning. The pattern's matcher costs several times the line's arithmetic,
// and such lines are the usual ones.
struct PercentageChange
{
    QStringView base;   // untrimmed, as the pattern's first group
    bool add = false;
    QStringView number; // N
};
std::optional<PercentageChange> readAsciiPercentageChange(QStringView text);

// Arithmetic on a piece of a line, refusing a bare date. Inline for the
// reason ArithmeticParser::evaluate is.
inline std::optional<double> arithmetic(QStringView text, const ArithmeticContext &context)
{
    double value = 0;
    if (isBareIsoDate(text) || !ArithmeticParser::evaluate(text, context, value))
        return std::nullopt;
    return value;
}

} // namespace NoteLineText
