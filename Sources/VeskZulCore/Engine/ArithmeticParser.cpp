#include "Engine/ArithmeticParser.h"

#include "Engine/NoteVocabulary.h"
#include "Engine/ZulIdentifierNormalizer.h"
#include "VeskKit/Utilities/VeskCompiledPattern.h"

#include <QRegularExpression>
#include <QTextBoundaryFinder>
#include <QVarLengthArray>

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

enum class TokenKind : quint8 {
    number,
    identifier,
    plus,
    minus,
    star,
    slash,
    caret,
    percent,
    lparen,
    rparen,
    comma,
};

struct Token
{
    TokenKind kind;
    double number = 0;
    QStringView identifier; // as typed, not yet folded; points into the evaluated text
};

using Tokens = QVarLengthArray<Token, 32>;

// Parentheses and call arguments recurse; anything nested deeper than this is
// not a note line anyone typed, and refusing it keeps the stack bounded.
constexpr int kMaxNesting = 256;

constexpr double kPi = 3.141592653589793;
constexpr double kE = 2.718281828459045;
constexpr double kTwoTo63 = 9223372036854775808.0;

bool isAsciiDigit(char32_t c)
{
    return c >= U'0' && c <= U'9';
}

bool isWhiteSpace(char32_t c)
{
    return c == U' ' || (c >= 9 && c <= 13) || (c >= 0x80 && QChar::isSpace(c));
}

bool isNumberCharacter(char32_t c)
{
    return isAsciiDigit(c) || (c >= 0x80 && QChar::isNumber(c));
}

// The identifier rules with their answer for ASCII at hand: the
// tokenizer asks them of every character.
bool isIdentifierStart(char32_t c)
{
    if (c < 0x80)
        return c == U'_' || (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z');
    return ZulIdentifierNormalizer::isIdentifierStart(c);
}

bool isIdentifierContinue(char32_t c)
{
    if (c < 0x80)
        return c == U'_' || (c >= U'a' && c <= U'z') || (c >= U'A' && c <= U'Z') || isAsciiDigit(c);
    return ZulIdentifierNormalizer::isIdentifierContinue(c);
}

// Most lines are ASCII: then every code unit is one character.
struct AsciiCharacters
{
    const char16_t *data;
    qsizetype count;

    qsizetype size() const { return count; }
    // Said to the compiler, so that the character tests the tokenizer asks
    // of every character keep only their ASCII halves.
    char32_t first(qsizetype i) const
    {
        const char16_t c = data[i];
        if (c >= 0x80)
            Q_UNREACHABLE();
        return c;
    }
    bool is(qsizetype i, char16_t c) const { return data[i] == c; }
    qsizetype begin(qsizetype i) const { return i; }
};

// Anything else is read as user-perceived characters; a character is classed
// by its first code point, and an operator must stand alone (a minus sign
// carrying a combining mark is not a minus sign).
struct ClusterCharacters
{
    QStringView text;
    QVarLengthArray<qsizetype, 64> bounds; // character i spans bounds[i] .. bounds[i + 1]

    explicit ClusterCharacters(QStringView source) : text(source)
    {
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, source.data(), source.size());
        bounds.append(0);
        for (qsizetype next = finder.toNextBoundary(); next > 0; next = finder.toNextBoundary())
            bounds.append(next);
        if (bounds.last() != source.size())
            bounds.append(source.size());
    }

    qsizetype size() const { return bounds.size() - 1; }
    char32_t first(qsizetype i) const
    {
        const char16_t unit = text.utf16()[bounds[i]];
        if (QChar::isHighSurrogate(unit) && bounds[i + 1] - bounds[i] > 1)
            return QChar::surrogateToUcs4(unit, text.utf16()[bounds[i] + 1]);
        return unit;
    }
    bool is(qsizetype i, char16_t c) const { return bounds[i + 1] - bounds[i] == 1 && text.utf16()[bounds[i]] == c; }
    qsizetype begin(qsizetype i) const { return bounds[i]; }
};

// Up to 15 digits with at most 22 after the point: the digits as a whole
// number and the power of ten are both exact, so their quotient is the
// correctly rounded value, as the full conversion gives it.
constexpr int kExactDigits = 15;
constexpr double kPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                                   1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// Whole-text conversion of ASCII number text, independent of the C locale.
// The value goes to `value`; false when the text is no finite number.
bool convertNumberText(const char *begin, const char *end, double &value)
{
    if (begin == end)
        return false;
    const double *powersOfTen = kPowersOfTen;
    qint64 digits = 0;
    int count = 0;
    int afterPoint = -1;
    const char *at = begin;
    for (; at != end && count <= kExactDigits; ++at) {
        if (*at >= '0' && *at <= '9') {
            digits = digits * 10 + (*at - '0');
            ++count;
            if (afterPoint >= 0)
                ++afterPoint;
        } else if (*at == '.' && afterPoint < 0) {
            afterPoint = 0;
        } else {
            break;
        }
    }
    if (at == end && count > 0 && count <= kExactDigits) {
        value = afterPoint > 0 ? double(digits) / powersOfTen[afterPoint] : double(digits);
        return true;
    }
    const auto [stop, ec] = std::from_chars(begin, end, value, std::chars_format::general);
    return ec == std::errc() && stop == end && std::isfinite(value);
}

template <typename Characters>
bool tokenize(const Characters &chars, QStringView text, Tokens &tokens)
{
    // One entry per open "(": true when it opened a function call. Inside a
    // call a comma always separates arguments.
    QVarLengthArray<bool, 16> parentheses;
    int openCalls = 0;

    const qsizetype n = chars.size();
    qsizetype j = 0;
    while (j < n) {
        const char32_t c = chars.first(j);
        if (isWhiteSpace(c)) {
            ++j;
            continue;
        }

        if (isNumberCharacter(c) || (chars.is(j, u'.') && j + 1 < n && isNumberCharacter(chars.first(j + 1)))) {
            const qsizetype numberStart = j;
            bool hasPoint = false;
            // The digits as a whole number as they are read: the usual
            // number is short enough for that to be its exact value.
            qint64 whole = 0;
            int digitCount = 0;
            int afterPoint = 0;
            while (j < n) {
                const char32_t d = chars.first(j);
                if (isNumberCharacter(d)) {
                    // Only ASCII digits convert; any other number character
                    // (superscripts, other scripts' digits) spoils the line.
                    if (!isAsciiDigit(d) || !chars.is(j, char16_t(d)))
                        return false;
                    if (++digitCount <= kExactDigits) {
                        whole = whole * 10 + (d - U'0');
                        afterPoint += hasPoint ? 1 : 0;
                    }
                    ++j;
                } else if (chars.is(j, u'_')) {
                    ++j;
                } else if (chars.is(j, u'.')) {
                    if (hasPoint)
                        break;
                    hasPoint = true;
                    ++j;
                } else if (chars.is(j, u',') && openCalls == 0 && !hasPoint && j + 3 < n
                           && isNumberCharacter(chars.first(j + 1)) && isNumberCharacter(chars.first(j + 2))
                           && isNumberCharacter(chars.first(j + 3))
                           && (j + 4 >= n || !isNumberCharacter(chars.first(j + 4)))) {
                    ++j; // a thousands separator
                } else {
                    break;
                }
            }
            double value = 0;
            if (digitCount > 0 && digitCount <= kExactDigits) {
                value = afterPoint > 0 ? double(whole) / kPowersOfTen[afterPoint] : double(whole);
            } else {
                // Too long to be exact as read: its digits and point, without
                // the separators, go to the full conversion.
                QVarLengthArray<char, 64> digits;
                for (qsizetype k = numberStart; k < j; ++k) {
                    const char32_t d = chars.first(k);
                    if (isAsciiDigit(d) || chars.is(k, u'.'))
                        digits.append(char(d));
                }
                if (!convertNumberText(digits.data(), digits.data() + digits.size(), value))
                    return false;
            }
            tokens.append(Token{TokenKind::number, value, {}});
            continue;
        }

        if (isIdentifierStart(c)) {
            const qsizetype start = j;
            ++j;
            while (j < n && isIdentifierContinue(chars.first(j)))
                ++j;
            const qsizetype from = chars.begin(start);
            const qsizetype to = j < n ? chars.begin(j) : text.size();
            tokens.append(Token{TokenKind::identifier, 0, text.mid(from, to - from)});
            continue;
        }

        TokenKind kind;
        if (chars.is(j, u'+'))
            kind = TokenKind::plus;
        else if (chars.is(j, u'-') || chars.is(j, u'\u2212'))
            kind = TokenKind::minus;
        else if (chars.is(j, u'*') || chars.is(j, u'\u00D7'))
            kind = TokenKind::star;
        else if (chars.is(j, u'/') || chars.is(j, u'\u00F7'))
            kind = TokenKind::slash;
        else if (chars.is(j, u'^'))
            kind = TokenKind::caret;
        else if (chars.is(j, u'%'))
            kind = TokenKind::percent;
        else if (chars.is(j, u'('))
            kind = TokenKind::lparen;
        else if (chars.is(j, u')'))
            kind = TokenKind::rparen;
        else if (chars.is(j, u','))
            kind = TokenKind::comma;
        else
            return false;

        if (kind == TokenKind::lparen) {
            const bool call = !tokens.isEmpty() && tokens.last().kind == TokenKind::identifier;
            parentheses.append(call);
            if (call)
                ++openCalls;
        } else if (kind == TokenKind::rparen && !parentheses.isEmpty()) {
            const bool call = parentheses.last();
            parentheses.removeLast();
            if (call && openCalls > 0)
                --openCalls;
        }
        tokens.append(Token{kind, 0, {}});
        ++j;
    }
    return true;
}

bool tokenize(QStringView text, Tokens &tokens)
{
    // Or-ed together rather than tested one by one: a loop without an early
    // exit is done several code units at a time, and a line is short.
    const char16_t *data = text.utf16();
    char16_t units = 0;
    for (qsizetype i = 0; i < text.size(); ++i)
        units |= data[i];
    const bool ascii = units < 0x80;
    if (ascii)
        return tokenize(AsciiCharacters{data, text.size()}, text, tokens);
    return tokenize(ClusterCharacters(text), text, tokens);
}

// Folds an identifier; an ASCII name that is already lower case (the usual
// case) is used in place without a copy.
QString foldedName(QStringView raw)
{
    const bool folded = std::none_of(raw.begin(), raw.end(), [](QChar c) {
        return c.unicode() >= 0x80 || (c.unicode() >= u'A' && c.unicode() <= u'Z');
    });
    if (folded)
        return QString::fromRawData(raw.data(), raw.size());
    return ZulIdentifierNormalizer::normalize(raw.toString());
}

std::optional<double> finite(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

// x rounded half away from zero to d decimals, d itself rounded and clamped
// to 0...10. A digit count that is not a number or beyond 64 bits gives no
// result instead of an undefined conversion.
std::optional<double> roundToDigits(double x, double d)
{
    if (!std::isfinite(d))
        return std::nullopt;
    const double wholeDigits = std::round(d);
    if (wholeDigits < -kTwoTo63 || wholeDigits >= kTwoTo63)
        return std::nullopt;
    static constexpr double powersOfTen[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};
    const double factor = powersOfTen[static_cast<int>(std::clamp(wholeDigits, 0.0, 10.0))];
    return std::round(x * factor) / factor;
}

const NoteVocabulary::Lookup kFunctions(NoteVocabulary::Role::function | NoteVocabulary::Role::blockFunction);
const NoteVocabulary::Lookup kSymbols(NoteVocabulary::Role::constant | NoteVocabulary::Role::previous
                                      | NoteVocabulary::Role::blockSymbol);

// Each rule leaves its value in `value` and says whether there is one.
// Values travel as plain doubles rather than optional ones: copying an
// optional double through every level of the descent stalls on its two
// halves written apart, which cost more than all the arithmetic.
struct Parser
{
    const Tokens &tokens;
    const ArithmeticContext &context;
    qsizetype cursor = 0;
    int depth = 0;

    bool peek(TokenKind kind) const { return cursor < tokens.size() && tokens[cursor].kind == kind; }

    bool parseExpression(double &value)
    {
        if (depth >= kMaxNesting)
            return false;
        ++depth;
        bool ok = parseTerm(value);
        while (ok && (peek(TokenKind::plus) || peek(TokenKind::minus))) {
            const bool add = tokens[cursor++].kind == TokenKind::plus;
            double right = 0;
            ok = parseTerm(right);
            if (ok)
                value = add ? value + right : value - right;
        }
        --depth;
        return ok;
    }

    bool parseTerm(double &value)
    {
        if (!parsePower(value))
            return false;
        while (peek(TokenKind::star) || peek(TokenKind::slash) || peek(TokenKind::percent)) {
            const TokenKind op = tokens[cursor++].kind;
            double right = 0;
            if (!parsePower(right) || (op != TokenKind::star && right == 0))
                return false;
            if (op == TokenKind::star)
                value = value * right;
            else if (op == TokenKind::slash)
                value = value / right;
            else
                value = std::fmod(value, right);
        }
        return true;
    }

    // Right-associative; the operands are read first and raised from the
    // right, which is what the recursive rule does, without the recursion.
    bool parsePower(double &value)
    {
        if (!parseUnary(value))
            return false;
        if (!peek(TokenKind::caret))
            return true;
        QVarLengthArray<double, 4> operands;
        operands.append(value);
        while (peek(TokenKind::caret)) {
            ++cursor;
            double operand = 0;
            if (!parseUnary(operand))
                return false;
            operands.append(operand);
        }
        double result = operands.last();
        for (qsizetype i = operands.size() - 2; i >= 0; --i) {
            result = std::pow(operands[i], result);
            if (!std::isfinite(result))
                return false;
        }
        value = result;
        return true;
    }

    // Signs bind tighter than "^": -2^2 is (-2)^2. Counted, not recursed, so a
    // line of a hundred thousand minus signs costs nothing but time.
    bool parseUnary(double &value)
    {
        bool negate = false;
        while (peek(TokenKind::plus) || peek(TokenKind::minus)) {
            if (tokens[cursor].kind == TokenKind::minus)
                negate = !negate;
            ++cursor;
        }
        if (!parsePrimary(value))
            return false;
        if (negate)
            value = -value;
        return true;
    }

    bool parsePrimary(double &value)
    {
        if (cursor >= tokens.size())
            return false;
        const Token &token = tokens[cursor];
        switch (token.kind) {
        case TokenKind::number:
            ++cursor;
            value = token.number;
            return true;
        case TokenKind::identifier: {
            ++cursor;
            const std::optional<double> named =
                peek(TokenKind::lparen) ? parseFunctionCall(token.identifier) : resolveSymbol(token.identifier);
            if (!named)
                return false;
            value = *named;
            return true;
        }
        case TokenKind::lparen: {
            ++cursor;
            if (!parseExpression(value) || !peek(TokenKind::rparen))
                return false;
            ++cursor;
            return true;
        }
        default:
            return false;
        }
    }

    // `name` as typed.
    std::optional<double> parseFunctionCall(QStringView name)
    {
        ++cursor; // the "("
        QVarLengthArray<double, 8> args;
        if (!peek(TokenKind::rparen)) {
            double value = 0;
            if (!parseExpression(value))
                return std::nullopt;
            args.append(value);
            while (peek(TokenKind::comma)) {
                ++cursor;
                if (!parseExpression(value))
                    return std::nullopt;
                args.append(value);
            }
        }
        if (!peek(TokenKind::rparen))
            return std::nullopt;
        ++cursor;
        return callFunction(name, args);
    }

    std::optional<double> callFunction(QStringView name, const QVarLengthArray<double, 8> &args) const
    {
        using NoteVocabulary::Meaning;
        using NoteVocabulary::Role;
        const NoteVocabulary::Word *word = kFunctions.findName(name);
        if (!word)
            return std::nullopt;
        const qsizetype count = args.size();
        const auto one = [count](double value) { return count == 1 ? std::optional(value) : std::nullopt; };

        switch (word->meaning) {
        case Meaning::squareRoot:
            if (count != 1 || args[0] < 0)
                return std::nullopt;
            return std::sqrt(args[0]);
        case Meaning::absolute:
            return one(std::fabs(args.value(0)));
        case Meaning::rounded:
            if (count == 1)
                return std::round(args[0]);
            if (count == 2)
                return roundToDigits(args[0], args[1]);
            return std::nullopt;
        case Meaning::floor:
            return one(std::floor(args.value(0)));
        case Meaning::ceiling:
            return one(std::ceil(args.value(0)));
        case Meaning::power:
            return count == 2 ? finite(std::pow(args[0], args[1])) : std::nullopt;
        case Meaning::logarithm10:
            return count == 1 && args[0] > 0 ? std::optional(std::log10(args[0])) : std::nullopt;
        case Meaning::naturalLogarithm:
            return count == 1 && args[0] > 0 ? std::optional(std::log(args[0])) : std::nullopt;
        case Meaning::sine:
            return one(std::sin(args.value(0)));
        case Meaning::cosine:
            return one(std::cos(args.value(0)));
        default: {
            // Called without arguments, a block function works on the block.
            if (count == 0 && word->roles.testFlag(Role::blockFunction))
                return ArithmeticParser::aggregate(word->meaning, context.blockTotals);
            ArithmeticBlockTotals values;
            for (double value : args)
                values.append(value);
            return ArithmeticParser::aggregate(word->meaning, values);
        }
        }
    }

    // `name` as typed.
    std::optional<double> resolveSymbol(QStringView name) const
    {
        if (!context.variables.isEmpty()) {
            const auto variable = context.variables.constFind(foldedName(name));
            if (variable != context.variables.cend())
                return *variable;
        }
        using NoteVocabulary::Meaning;
        const NoteVocabulary::Word *word = kSymbols.findName(name);
        if (!word)
            return std::nullopt;
        switch (word->meaning) {
        case Meaning::pi:
            return kPi;
        case Meaning::eulerNumber:
            return kE;
        case Meaning::previous:
            return context.previousValue;
        default: {
            // A symbol over an empty block has no value, not even a count of 0.
            if (context.blockTotals.count == 0)
                return std::nullopt;
            return ArithmeticParser::aggregate(word->meaning, context.blockTotals);
        }
        }
    }
};

} // namespace

namespace ArithmeticParser {

std::optional<double> aggregate(NoteVocabulary::Meaning meaning, const ArithmeticBlockTotals &values)
{
    using NoteVocabulary::Meaning;
    switch (meaning) {
    case Meaning::sum:
        return values.sum;
    case Meaning::average:
        return values.count == 0 ? std::nullopt : std::optional(values.sum / static_cast<double>(values.count));
    case Meaning::minimum:
        return values.count == 0 ? std::nullopt : std::optional(values.minimum);
    case Meaning::maximum:
        return values.count == 0 ? std::nullopt : std::optional(values.maximum);
    case Meaning::count:
        return static_cast<double>(values.count);
    default:
        return std::nullopt;
    }
}

bool evaluate(QStringView text, const ArithmeticContext &context, double &value)
{
    Tokens tokens;
    if (!tokenize(text, tokens) || tokens.isEmpty())
        return false;
    Parser parser{tokens, context};
    double result = 0;
    if (!parser.parseExpression(result) || parser.cursor != tokens.size() || !std::isfinite(result))
        return false;
    value = result;
    return true;
}

std::optional<double> parsePlainNumber(QStringView text)
{
    // Digits with at most a point, as a percentage phrase holds them, need
    // none of the steps below: they are converted as they stand.
    const bool plain = !text.isEmpty() && std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= u'0' && c <= u'9') || c == u'.';
    });
    if (plain) {
        QVarLengthArray<char, 32> ascii;
        for (const QChar c : text)
            ascii.append(char(c.unicode()));
        double value = 0;
        if (!convertNumberText(ascii.data(), ascii.data() + ascii.size(), value))
            return std::nullopt;
        return value;
    }
    return parsePlainNumber(text.toString());
}

std::optional<double> parsePlainNumber(const QString &text)
{
    QString number = text.trimmed();
    if (number.isEmpty())
        return std::nullopt;
    number.remove(QLatin1Char('_'));

    if (number.contains(QLatin1Char(','))) {
        static const QRegularExpression thousandsComma =
            veskCompiledPattern(QStringLiteral("^[+-]?\\d{1,3}(,\\d{3})+(\\.\\d+)?$"));
        static const QRegularExpression decimalComma = veskCompiledPattern(QStringLiteral("^[+-]?\\d+,\\d{1,2}$"));
        if (thousandsComma.match(number).hasMatch())
            number.remove(QLatin1Char(','));
        else if (number.contains(QLatin1Char('.')))
            return std::nullopt;
        else if (decimalComma.match(number).hasMatch())
            number.replace(QLatin1Char(','), QLatin1Char('.'));
        else
            return std::nullopt;
    }

    // from_chars takes no leading "+"; a second sign after it stays an error.
    qsizetype start = 0;
    if (number.startsWith(QLatin1Char('+')) && number.size() > 1 && number[1] != QLatin1Char('-')
        && number[1] != QLatin1Char('+'))
        start = 1;

    QVarLengthArray<char, 64> ascii;
    for (qsizetype i = start; i < number.size(); ++i) {
        const char16_t c = number[i].unicode();
        if (c >= 0x80)
            return std::nullopt;
        ascii.append(char(c));
    }
    double value = 0;
    if (!convertNumberText(ascii.data(), ascii.data() + ascii.size(), value))
        return std::nullopt;
    return value;
}

} // namespace ArithmeticParser
