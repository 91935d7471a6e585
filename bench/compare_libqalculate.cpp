// The note engine against libqalculate on the same lines, each computed and
// its result written out (range 0: arithmetic and percentages, 1:
// conversions, 2: both).
// Built only where libqalculate is installed; a measurement, never a part of
// the application.
#include "Engine/ComputationalNoteEngine.h"

#include <benchmark/benchmark.h>

#include <libqalculate/qalculate.h>

#include <QStringList>

namespace {

// Lines both compute to the same result: plain arithmetic and percentages,
// where libqalculate is quickest, and unit and currency conversions.
const QStringList &arithmeticLines()
{
    static const QStringList lines = {
        QStringLiteral("1234 + 567"),    QStringLiteral("(12 + 8) * 3 / 4"),      QStringLiteral("sqrt(144) + 3"),
        QStringLiteral("2 ^ 10 - 1000"), QStringLiteral("100 + 18%"),             QStringLiteral("4500 - 15%"),
        QStringLiteral("1850 * 1.2"),    QStringLiteral("abs(-42) + floor(7.8)"), QStringLiteral("10 / 4"),
        QStringLiteral("7 * 6 - 2"),
    };
    return lines;
}

const QStringList &conversionLines()
{
    static const QStringList lines = {
        QStringLiteral("3 h to min"), QStringLiteral("250 USD to TRY"), QStringLiteral("100 EUR to TRY"),
        QStringLiteral("2.5 L to mL"), QStringLiteral("1 GiB to MB"),
    };
    return lines;
}

const QStringList &linesOf(int group)
{
    static const QStringList all = arithmeticLines() + conversionLines();
    return group == 0 ? arithmeticLines() : group == 1 ? conversionLines() : all;
}

void reportPerLine(benchmark::State &state, qsizetype lines)
{
    state.counters["per_line"] = benchmark::Counter(double(state.iterations()) * double(lines),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

// The lines as one note, as the application evaluates a note.
void engine(benchmark::State &state)
{
    const ComputationalNoteEngine engine(CurrencyRateTable::offlineDefaults(), QStringLiteral("TRY"),
                                         QDateTime(QDate(2025, 1, 10), QTime(15, 0), QTimeZone::utc()),
                                         QTimeZone::utc());
    const QStringList &lines = linesOf(int(state.range(0)));
    const QString text = lines.join(QLatin1Char('\n'));
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.evaluate(text));
    reportPerLine(state, lines.size());
}
BENCHMARK(engine)->DenseRange(0, 2);

void libqalculate(benchmark::State &state)
{
    static Calculator *calculator = [] {
        auto *made = new Calculator();
        made->loadExchangeRates();
        made->loadGlobalDefinitions();
        made->loadLocalDefinitions();
        return made;
    }();
    std::vector<std::string> lines;
    for (const QString &line : linesOf(int(state.range(0))))
        lines.push_back(calculator->unlocalizeExpression(line.toStdString()));
    const EvaluationOptions evaluation;
    const PrintOptions print;
    for (auto _ : state) {
        for (const std::string &line : lines) {
            MathStructure result = calculator->calculate(line, evaluation);
            benchmark::DoNotOptimize(result.print(print));
        }
    }
    reportPerLine(state, qsizetype(lines.size()));
}
BENCHMARK(libqalculate)->DenseRange(0, 2);

} // namespace

BENCHMARK_MAIN();
