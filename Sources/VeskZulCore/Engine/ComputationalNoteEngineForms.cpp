// The special forms a note line may take before plain arithmetic: keyword
// aggregates over the block, conversion phrases, percentage phrases and
// amounts tagged with a currency.
#include "Engine/ComputationalNoteEngine.h"

#include "Engine/ArithmeticParser.h"
#include "Engine/ConversionCatalog.h"
#include "Engine/LineCharacters.h"
#include "Engine/NoteLineText.h"
#include "Engine/NoteVocabulary.h"
#include "Engine/ZulNumberFormatter.h"
#include "VeskKit/Utilities/VeskCompiledPattern.h"

#include <QChar>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <cstring>

using NoteLineText::arithmetic;
using NoteLineText::borrowed;
using NoteLineText::trimmed;

namespace {

constexpr int kResultFractionDigits = 2;

// A pattern of a special form, with the vocabulary's words put in for
// {connector}, {of} and {tax}.
QRegularExpression formPattern(const char16_t *pattern)
{
    using NoteVocabulary::Role;
    const QString text = QString::fromUtf16(pattern)
                             .replace(QLatin1StringView("{connector}"), NoteVocabulary::anyCaseAlternatives(Role::connector))
                             .replace(QLatin1StringView("{of}"), NoteVocabulary::anyCaseAlternatives(Role::percentageOf))
                             .replace(QLatin1StringView("{tax}"),
                                      NoteVocabulary::anyCaseAlternatives(Role::tax | Role::discount));
    // Connectors and tax words match in any letter case; \d, \s and \p{L}
    // follow Unicode.
    return veskCompiledPattern(text, QRegularExpression::CaseInsensitiveOption
                                         | QRegularExpression::UseUnicodePropertiesOption);
}

const QRegularExpression &conversionSpaced()
{
    static const QRegularExpression expression = formPattern(
        uR"(^(.+?)\s+([\p{L}°₺$€£¥/%][\p{L}0-9°/²]*)\s+(?:{connector})\s+([\p{L}°₺$€£¥/%][\p{L}0-9°/²]*)$)");
    return expression;
}

const QRegularExpression &conversionGlued()
{
    static const QRegularExpression expression = formPattern(
        uR"(^([+-]?\d+(?:[.,_]\d+)*)\s*([\p{L}°₺$€£¥/%][\p{L}0-9°/²]*)\s+(?:{connector})\s+([\p{L}°₺$€£¥/%][\p{L}0-9°/²]*)$)");
    return expression;
}

const QRegularExpression &prefixedCurrencyConversion()
{
    static const QRegularExpression expression =
        formPattern(uR"(^([$€£₺¥])\s*([0-9.,_+\-*/() ]+?)\s+(?:{connector})\s+([A-Za-z$€£₺¥]+)$)");
    return expression;
}

const QRegularExpression &percentageOf()
{
    static const QRegularExpression expression =
        formPattern(uR"(^(?:(\d+(?:[.,]\d+)?)%|%(\d+(?:[.,]\d+)?))\s+(?:{of})\s+(.+)$)");
    return expression;
}

const QRegularExpression &percentageAddSub()
{
    static const QRegularExpression expression = formPattern(
        uR"(^(.+?)\s*([+-])\s*(?:(\d+(?:[.,]\d+)?)%|%(\d+(?:[.,]\d+)?))(?:\s+(?:{tax}))?$)");
    return expression;
}

// The words of a line that sums up its block.
const NoteVocabulary::Lookup kKeywords(NoteVocabulary::Role::aggregate);

const LineWords kOfWords = [] {
    QList<QStringView> texts;
    for (const NoteVocabulary::Word *word : NoteVocabulary::wordsWith(NoteVocabulary::Role::percentageOf))
        texts.append(word->text);
    return LineWords(texts);
}();

bool isCurrencySymbol(char16_t c)
{
    return c == u'$' || c == u'€' || c == u'£' || c == u'₺' || c == u'¥';
}

// The text of the group that took part in the match, or an empty view.
QStringView group(const QRegularExpressionMatch &match, int index)
{
    return match.hasCaptured(index) ? match.capturedView(index) : QStringView();
}

QString formattedWithUnit(double value, const std::optional<QString> &unit)
{
    QString text = ZulNumberFormatter::format(value, kResultFractionDigits);
    if (unit) {
        text += QLatin1Char(' ');
        text += *unit;
    }
    return text;
}

} // namespace

void ComputationalNoteEngine::appendToBlock(Block &block, double value, const std::optional<QStringView> &currencyOrUnit,
                                           const QString *text, DefaultCurrencyRate &rate) const
{
    if (block.values.count == 0 && currencyOrUnit)
        block.firstUnit = text ? *text : currencyOrUnit->toString();
    else if (block.oneUnit)
        block.oneUnit = block.firstUnit && currencyOrUnit && *block.firstUnit == *currencyOrUnit;
    if (!currencyOrUnit)
        block.someWithoutUnit = true;
    block.values.append(value);

    // A total labelled in the default currency must really be one: when any
    // amount is not a currency or cannot be converted (a missing or unusable
    // rate), the block is summed as typed and carries no currency rather
    // than a false one.
    if (block.someWithoutUnit || block.conversionFailed)
        return;
    if (!rate.known || rate.unit != *currencyOrUnit) {
        rate.unit = text ? *text : currencyOrUnit->toString();
        rate.known = true;
        rate.rates.reset();
        // The two rates every amount in this unit is converted with, when
        // both are there and usable.
        const std::optional<QString> code = ConversionCatalog::canonicalCurrencyCode(*currencyOrUnit);
        const auto usable = [this](const QString &currency) -> std::optional<double> {
            const auto found = m_rates.ratesPerUSD.constFind(currency.toUpper());
            if (found == m_rates.ratesPerUSD.cend() || !std::isfinite(*found) || !(*found > 0))
                return std::nullopt;
            return *found;
        };
        const std::optional<double> from = code ? usable(*code) : std::nullopt;
        const std::optional<double> to = usable(m_defaultCurrency);
        if (from && to)
            rate.rates = std::pair(*from, *to);
    }
    // As CurrencyRateTable::convert computes it.
    const double converted = rate.rates ? value / rate.rates->first * rate.rates->second : 0;
    if (rate.rates && std::isfinite(converted))
        block.convertedValues.append(converted);
    else
        block.conversionFailed = true;
}

bool ComputationalNoteEngine::Block::sameAs(const Block &other) const
{
    const auto sameBits = [](const ArithmeticBlockTotals &a, const ArithmeticBlockTotals &b) {
        return a.count == b.count && std::memcmp(&a.sum, &b.sum, sizeof a.sum) == 0
            && std::memcmp(&a.minimum, &b.minimum, sizeof a.minimum) == 0
            && std::memcmp(&a.maximum, &b.maximum, sizeof a.maximum) == 0;
    };
    return sameBits(values, other.values) && firstUnit == other.firstUnit && someWithoutUnit == other.someWithoutUnit
        && oneUnit == other.oneUnit && conversionFailed == other.conversionFailed
        && sameBits(convertedValues, other.convertedValues);
}

std::optional<ComputationalNoteEngine::FragmentResult>
ComputationalNoteEngine::evaluateStandaloneAggregate(QStringView expression, const Block &block) const
{
    const NoteVocabulary::Word *keyword = kKeywords.findName(expression, NoteVocabulary::Lookup::allowCallParentheses);
    if (!keyword)
        return std::nullopt;
    using NoteVocabulary::Meaning;
    const Meaning group = keyword->meaning;

    if (group == Meaning::count) {
        const auto count = block.values.count;
        return FragmentResult{double(count), std::nullopt, QString::number(count), EvaluatedLineKind::aggregate};
    }

    const ResolvedBlock resolved = resolveBlockValues(block);
    const std::optional<double> value = ArithmeticParser::aggregate(group, resolved.values);
    // A block of huge values can overflow its sum; that is no number to show.
    if (!value || !std::isfinite(*value))
        return std::nullopt;
    return FragmentResult{value, resolved.unit, formattedWithUnit(*value, resolved.unit),
                          EvaluatedLineKind::aggregate};
}

ComputationalNoteEngine::ResolvedBlock ComputationalNoteEngine::resolveBlockValues(const Block &block) const
{
    if (block.values.count == 0 || block.someWithoutUnit)
        return {block.values, std::nullopt};
    if (block.oneUnit)
        return {block.values, block.firstUnit};
    if (block.conversionFailed)
        return {block.values, std::nullopt};
    return {block.convertedValues, m_defaultCurrency};
}

std::optional<ConversionEvaluation>
ComputationalNoteEngine::evaluateConversionExpression(QStringView expression, const ArithmeticContext &context) const
{
    if (!containsConversionConnector(expression))
        return std::nullopt;

    for (const QRegularExpression *pattern : {&conversionSpaced(), &conversionGlued()}) {
        const QRegularExpressionMatch match = pattern->match(expression);
        if (!match.hasMatch() || !match.hasCaptured(1) || !match.hasCaptured(2) || !match.hasCaptured(3))
            continue;
        const QStringView amount = trimmed(match.capturedView(1));
        const QStringView from = trimmed(match.capturedView(2));
        const QStringView to = trimmed(match.capturedView(3));
        const std::optional<double> value = arithmetic(amount, context);
        if (!value)
            continue;
        if (auto currency = ConversionCatalog::convertCurrency(*value, from, to, m_rates))
            return currency;
        if (auto unit = ConversionCatalog::convertUnit(*value, from, to))
            return unit;
    }
    return evaluatePrefixedCurrencyConversion(expression, context);
}

std::optional<ConversionEvaluation>
ComputationalNoteEngine::evaluatePrefixedCurrencyConversion(QStringView expression,
                                                            const ArithmeticContext &context) const
{
    if (expression.isEmpty() || !isCurrencySymbol(expression.utf16()[0])
        || !NoteLineText::startsWithCharacters(expression, expression.left(1)))
        return std::nullopt;
    const QRegularExpressionMatch match = prefixedCurrencyConversion().match(expression);
    if (!match.hasMatch())
        return std::nullopt;
    const std::optional<double> value = arithmetic(match.capturedView(2), context);
    if (!value)
        return std::nullopt;
    return ConversionCatalog::convertCurrency(*value, match.capturedView(1), match.capturedView(3), m_rates);
}

std::optional<ComputationalNoteEngine::FragmentResult>
ComputationalNoteEngine::evaluatePercentageExpression(QStringView expression, const ArithmeticContext &context) const
{
    const LineCharacters characters(expression);
    if (!characters.has(u'%'))
        return std::nullopt;

    // The of-form begins with its percentage and holds the word "of"; most
    // lines with a percent sign are of the other form.
    const char16_t first = expression.isEmpty() ? 0 : expression[0].unicode();
    const bool mayBeOfForm = (first == u'%' || QChar::isDigit(first) || QChar::isHighSurrogate(first))
        && kOfWords.mayHold(characters) && expression.contains(u"of", Qt::CaseInsensitive);
    // Even an empty match object costs two allocations, so none is made
    // for a line that cannot be of this form.
    if (mayBeOfForm) {
        if (const QRegularExpressionMatch match = percentageOf().match(expression); match.hasMatch()) {
            const QStringView number = match.hasCaptured(1) ? group(match, 1) : group(match, 2);
            const std::optional<double> percent = ArithmeticParser::parsePlainNumber(number);
            const std::optional<double> base = arithmetic(match.capturedView(3), context);
            if (percent && base) {
                const double value = *percent / 100 * *base;
                if (!std::isfinite(value))
                    return std::nullopt;
                return FragmentResult{value, std::nullopt, ZulNumberFormatter::format(value, kResultFractionDigits),
                                      EvaluatedLineKind::percentage};
            }
        }
    }

    std::optional<NoteLineText::PercentageChange> change;
    if (!characters.beyondAscii()) {
        change = NoteLineText::readAsciiPercentageChange(expression);
    } else if (const QRegularExpressionMatch match = percentageAddSub().match(expression); match.hasMatch()) {
        change = NoteLineText::PercentageChange{match.capturedView(1), match.capturedView(2) == u"+",
                                                match.hasCaptured(3) ? group(match, 3) : group(match, 4)};
    }
    if (!change)
        return std::nullopt;
    const QStringView baseText = trimmed(change->base);
    const bool add = change->add;
    const std::optional<double> percent = ArithmeticParser::parsePlainNumber(change->number);
    if (!percent)
        return std::nullopt;

    double base = 0;
    std::optional<QString> currency;
    const std::optional<FragmentResult> tagged = LineCharacters(baseText).meets(ConversionCatalog::currencyInitials())
        ? evaluateCurrencyTaggedValue(baseText, context)
        : std::nullopt;
    if (tagged) {
        base = *tagged->value;
        currency = tagged->unitOrCurrency;
    } else if (const std::optional<double> plain = arithmetic(baseText, context)) {
        base = *plain;
    } else {
        return std::nullopt;
    }
    // The tax and discount words are accepted and ignored: the sign alone
    // says whether the percentage is added or taken off.
    const double delta = *percent / 100 * base;
    const double value = add ? base + delta : base - delta;
    if (!std::isfinite(value))
        return std::nullopt;
    return FragmentResult{value, currency, formattedWithUnit(value, currency), EvaluatedLineKind::percentage};
}

std::optional<ComputationalNoteEngine::FragmentResult>
ComputationalNoteEngine::evaluateCurrencyTaggedValue(QStringView expression, const ArithmeticContext &context) const
{
    std::optional<double> value;
    std::optional<QString> code;

    if (!expression.isEmpty() && isCurrencySymbol(expression.utf16()[0])
        && NoteLineText::startsWithCharacters(expression, expression.left(1))) {
        code = ConversionCatalog::canonicalCurrencyCode(expression.left(1));
        if (code)
            value = arithmetic(trimmed(expression.mid(1)), context);
    }

    if (!value) {
        code.reset();
        const char16_t *data = expression.utf16();
        qsizetype space = expression.size() - 1;
        while (space >= 0 && !(data[space] < 0x80 ? (data[space] == u' ' || (data[space] >= 9 && data[space] <= 13))
                                                   : QChar::isSpace(data[space])))
            --space;
        if (space < 0)
            return std::nullopt;
        const QStringView word = expression.mid(space + 1);
        const QStringView before = trimmed(expression.left(space));
        if (word.isEmpty() || before.isEmpty())
            return std::nullopt;
        code = ConversionCatalog::canonicalCurrencyCode(word);
        if (!code)
            return std::nullopt;
        value = arithmetic(before, context);
        if (!value)
            return std::nullopt;
    }

    return FragmentResult{value, code, formattedWithUnit(*value, code), EvaluatedLineKind::currency};
}
