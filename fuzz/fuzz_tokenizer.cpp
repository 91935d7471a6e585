// One expression through the tokenizer and parser with a few variables and a
// block about, and the folding rule every name goes through.

#include "Engine/ArithmeticParser.h"
#include "Engine/ZulIdentifierNormalizer.h"
#include "FuzzEvaluation.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = FuzzSupport::textOf(data, size);
    ArithmeticContext context;
    context.variables.insert(QStringLiteral("x"), 2);
    context.variables.insert(QStringLiteral("maaş"), 95000);
    context.variables.insert(QStringLiteral("big"), 1e308);
    context.previousValue = -0.5;
    for (const double value : {1.0, 2.5, -7.0})
        context.blockTotals.append(value);
    const std::optional<double> value = ArithmeticParser::evaluate(text, context);
    // The same text and context give the same result, bit for bit.
    FUZZ_CHECK(FuzzSupport::sameNumber(ArithmeticParser::evaluate(text, context), value));
    ArithmeticParser::parsePlainNumber(text);
    const QString folded = ZulIdentifierNormalizer::normalize(text);
    FUZZ_CHECK(ZulIdentifierNormalizer::normalize(folded) == folded);
    ZulIdentifierNormalizer::isValidIdentifier(text);
    return 0;
}
