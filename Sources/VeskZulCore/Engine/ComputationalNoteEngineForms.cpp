// The special forms a note line may take before plain arithmetic: keyword
// aggregates over the block, conversion phrases, percentage phrases and
// amounts tagged with a currency.
#include "Engine/ComputationalNoteEngine.h"

#include "Engine/ArithmeticParser.h"
#include "Engine/ConversionCatalog.h"
#include "Engine/NoteLineText.h"
#include "Engine/NoteVocabulary.h"
#include "Engine/ZulNumberFormatter.h"
#include "VeskKit/Utilities/VeskCompiledPattern.h"

#include <QChar>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

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
                             .replace(QLatin1StringView("{connector}"), NoteVocabulary::alternatives(Role::connector))
                             .replace(QLatin1StringView("{of}"), NoteVocabulary::alternatives(Role::percentageOf))
                             .replace(QLatin1StringView("{tax}"), NoteVocabulary::alternatives(Role::tax | Role::discount));
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

void ComputationalNoteEngine::Block::append(double value, const std::optional<QString> &currencyOrUnit)
{
    if (!currencyOrUnit)
        someWithoutUnit = true;
    else if (!entries.isEmpty() && oneUnit)
        oneUnit = entries.first().currencyOrUnit && *entries.first().currencyOrUnit == *currencyOrUnit;
    entries.append(BlockEntry{value, currencyOrUnit});
    values.append(value);
}

void ComputationalNoteEngine::Block::clear()
{
    // The entries keep their room for the next block.
    entries.clear();
    values = {};
    someWithoutUnit = false;
    oneUnit = true;
    converted = 0;
    conversionFailed = false;
    convertedValues = {};
}

std::optional<ComputationalNoteEngine::FragmentResult>
ComputationalNoteEngine::evaluateStandaloneAggregate(const QString &key, Block &block) const
{
    QStringView word = key;
    if (word.endsWith(u"()"))
        word.chop(2);
    const NoteVocabulary::Word *keyword = kKeywords.find(word);
    if (!keyword)
        return std::nullopt;
    using NoteVocabulary::Meaning;
    const Meaning group = keyword->meaning;

    if (group == Meaning::count) {
        const auto count = block.entries.size();
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

ComputationalNoteEngine::ResolvedBlock ComputationalNoteEngine::resolveBlockValues(Block &block) const
{
    if (block.entries.isEmpty() || block.someWithoutUnit)
        return {block.values, std::nullopt};
    if (block.oneUnit)
        return {block.values, block.entries.first().currencyOrUnit};

    // A total labelled in the default currency must really be one: when any
    // amount is not a currency or cannot be converted (a missing or unusable
    // rate), the block is summed as typed and carries no currency rather
    // than a false one. Entries only ever join the block, so what was
    // converted stays converted.
    while (!block.conversionFailed && block.converted < block.entries.size()) {
        const BlockEntry &entry = block.entries[block.converted];
        const std::optional<QString> code = ConversionCatalog::canonicalCurrencyCode(*entry.currencyOrUnit);
        const std::optional<double> value =
            code ? m_rates.convert(entry.value, *code, m_defaultCurrency) : std::nullopt;
        if (!value) {
            block.conversionFailed = true;
            break;
        }
        block.convertedValues.append(*value);
        ++block.converted;
    }
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
        const QString from = trimmed(match.capturedView(2)).toString();
        const QString to = trimmed(match.capturedView(3)).toString();
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
    return ConversionCatalog::convertCurrency(*value, match.captured(1), match.captured(3), m_rates);
}

std::optional<ComputationalNoteEngine::FragmentResult>
ComputationalNoteEngine::evaluatePercentageExpression(QStringView expression, const ArithmeticContext &context) const
{
    if (!expression.contains(u'%'))
        return std::nullopt;

    if (const QRegularExpressionMatch match = percentageOf().match(expression); match.hasMatch()) {
        const QStringView number = match.hasCaptured(1) ? group(match, 1) : group(match, 2);
        const std::optional<double> percent = ArithmeticParser::parsePlainNumber(number.toString());
        const std::optional<double> base = arithmetic(match.capturedView(3), context);
        if (percent && base) {
            const double value = *percent / 100 * *base;
            if (!std::isfinite(value))
                return std::nullopt;
            return FragmentResult{value, std::nullopt, ZulNumberFormatter::format(value, kResultFractionDigits),
                                  EvaluatedLineKind::percentage};
        }
    }

    const QRegularExpressionMatch match = percentageAddSub().match(expression);
    if (!match.hasMatch())
        return std::nullopt;
    const QStringView baseText = trimmed(match.capturedView(1));
    const bool add = match.capturedView(2) == u"+";
    const QStringView number = match.hasCaptured(3) ? group(match, 3) : group(match, 4);
    const std::optional<double> percent = ArithmeticParser::parsePlainNumber(number.toString());
    if (!percent)
        return std::nullopt;

    double base = 0;
    std::optional<QString> currency;
    if (const std::optional<FragmentResult> tagged = evaluateCurrencyTaggedValue(baseText, context)) {
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
        code = ConversionCatalog::canonicalCurrencyCode(expression.left(1).toString());
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
        code = ConversionCatalog::canonicalCurrencyCode(borrowed(word));
        if (!code)
            return std::nullopt;
        value = arithmetic(before, context);
        if (!value)
            return std::nullopt;
    }

    return FragmentResult{value, code, formattedWithUnit(*value, code), EvaluatedLineKind::currency};
}
