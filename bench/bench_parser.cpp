// Expression evaluation as the note engine drives it: one call per line, on
// every edit. The figure that matters is the time per line.
#include "Engine/ArithmeticParser.h"

#include <benchmark/benchmark.h>

#include <QStringList>

namespace {

const ArithmeticContext &typicalContext()
{
    static const ArithmeticContext context = [] {
        ArithmeticContext typical{
            {{QStringLiteral("price"), 12.5}, {QStringLiteral("qty"), 4}, {QStringLiteral("tax"), 0.18},
             {QStringLiteral("rent"), 1450}, {QStringLiteral("utilities"), 210}},
            99.5,
            {},
        };
        for (double value : {120.0, 80.0, 45.5, 300.0})
            typical.blockTotals.append(value);
        return typical;
    }();
    return context;
}

const QStringList &typicalAsciiLines()
{
    static const QStringList lines = {
        QStringLiteral("1,234 + 567"),
        QStringLiteral("(12 + 8) * 3 / 4"),
        QStringLiteral("round(3.14159, 2) * 10"),
        QStringLiteral("sqrt(144) + max(1, 200, 3)"),
        QStringLiteral("price * qty * (1 + tax)"),
        QStringLiteral("sum / count"),
        QStringLiteral("prev * 1.18"),
        QStringLiteral("2 ^ 10 - 1,000"),
        QStringLiteral("((1 + 2) * (3 + 4)) / 5"),
        QStringLiteral("avg(10, 20, 30) + 1_000"),
        QStringLiteral("rent + utilities - 150"),
        QStringLiteral("Total * 0.2"),
        QStringLiteral("12,500,000 / 12"),
        QStringLiteral("abs(-42) % 5 + floor(7.8)"),
        QStringLiteral("3 km"),
        QStringLiteral("groceries and rent"),
    };
    return lines;
}

void evaluateTypicalAsciiLines(benchmark::State &state)
{
    const QStringList &lines = typicalAsciiLines();
    const ArithmeticContext &context = typicalContext();
    for (auto _ : state) {
        for (const QString &line : lines)
            benchmark::DoNotOptimize(ArithmeticParser::evaluate(line, context));
    }
    state.counters["per_line"] = benchmark::Counter(double(state.iterations()) * double(lines.size()),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(evaluateTypicalAsciiLines);

void evaluateUnicodeLines(benchmark::State &state)
{
    static const QStringList lines = {
        QStringLiteral("2 × 3 − 1 ÷ 2"),
        QStringLiteral("önceki × 1,18"),
        QStringLiteral("TOPLAM ÷ ADET"),
        QStringLiteral("ortalama(10, 20) + π"),
    };
    const ArithmeticContext &context = typicalContext();
    for (auto _ : state) {
        for (const QString &line : lines)
            benchmark::DoNotOptimize(ArithmeticParser::evaluate(line, context));
    }
    state.counters["per_line"] = benchmark::Counter(double(state.iterations()) * double(lines.size()),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(evaluateUnicodeLines);

void parsePlainNumbers(benchmark::State &state)
{
    static const QStringList texts = {QStringLiteral("18"), QStringLiteral("12,5"), QStringLiteral("1,234.5"),
                                      QStringLiteral("7.25")};
    for (auto _ : state) {
        for (const QString &text : texts)
            benchmark::DoNotOptimize(ArithmeticParser::parsePlainNumber(text));
    }
    state.counters["per_text"] = benchmark::Counter(double(state.iterations()) * double(texts.size()),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(parsePlainNumbers);

} // namespace

BENCHMARK_MAIN();
