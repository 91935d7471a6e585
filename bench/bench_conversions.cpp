// The note engine asks every line of every note whether it is a date
// expression, so rejecting an ordinary line has to cost next to nothing; unit
// and currency conversions run on every conversion line as the user types.

#include "Engine/ConversionCatalog.h"
#include "Models/CurrencyRateTable.h"

#include <benchmark/benchmark.h>

#include <QDateTime>
#include <QString>
#include <QTimeZone>

#include <vector>

namespace {

const QTimeZone &calendar()
{
    static const QTimeZone zone(QByteArrayLiteral("Europe/Istanbul"));
    return zone;
}

const QDateTime &reference()
{
    static const QDateTime instant = QDateTime(QDate(2025, 1, 10), QTime(15, 0), calendar()).toUTC();
    return instant;
}

void runDateLines(benchmark::State &state, const std::vector<QString> &lines)
{
    std::size_t i = 0;
    for (auto _ : state) {
        auto result = ConversionCatalog::evaluateDateExpression(lines[i], reference(), calendar());
        benchmark::DoNotOptimize(result);
        i = (i + 1) % lines.size();
    }
}

// Lines as they appear in notes; none starts like a date expression.
void BM_DateRejectsOrdinaryLine(benchmark::State &state)
{
    runDateLines(state, {
                            QStringLiteral("Groceries: 45.50"),
                            QStringLiteral("12 km to mi"),
                            QStringLiteral("x = 5 * 3"),
                            QStringLiteral("- [ ] call the landlord"),
                            QStringLiteral("Rent 1,200 USD"),
                            QStringLiteral("  sum"),
                            QStringLiteral("2024 budget: 12000"),
                            QStringLiteral("% 18 KDV"),
                        });
}
BENCHMARK(BM_DateRejectsOrdinaryLine);

// Lines that start with a date-word letter get folded before they are ruled out.
void BM_DateRejectsLineWithDateLetter(benchmark::State &state)
{
    runDateLines(state, {
                            QStringLiteral("total"),
                            QStringLiteral("tax = 18%"),
                            QStringLiteral("Budget - 200"),
                            QStringLiteral("dinner 45 + 12"),
                        });
}
BENCHMARK(BM_DateRejectsLineWithDateLetter);

void BM_DateDayWord(benchmark::State &state)
{
    runDateLines(state, {QStringLiteral("today"), QStringLiteral("yarın")});
}
BENCHMARK(BM_DateDayWord);

void BM_DateDayCount(benchmark::State &state)
{
    runDateLines(state, {QStringLiteral("days until 2025-03-01")});
}
BENCHMARK(BM_DateDayCount);

void BM_DateDifference(benchmark::State &state)
{
    runDateLines(state, {QStringLiteral("2025-03-01 - 2025-01-01"), QStringLiteral("2025-03-01 - bugün")});
}
BENCHMARK(BM_DateDifference);

void BM_DateOffset(benchmark::State &state)
{
    runDateLines(state, {QStringLiteral("today + 3 days"), QStringLiteral("2025-01-31 + 1 month"),
                         QStringLiteral("now + 10 hours")});
}
BENCHMARK(BM_DateOffset);

void BM_ConvertUnit(benchmark::State &state)
{
    const QString from = QStringLiteral("km");
    const QString to = QStringLiteral("mi");
    for (auto _ : state) {
        auto result = ConversionCatalog::convertUnit(12, from, to);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_ConvertUnit);

void BM_ConvertUnitTemperature(benchmark::State &state)
{
    const QString from = QStringLiteral("°C");
    const QString to = QStringLiteral("F");
    for (auto _ : state) {
        auto result = ConversionCatalog::convertUnit(36.6, from, to);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_ConvertUnitTemperature);

void BM_ConvertUnitIncompatible(benchmark::State &state)
{
    const QString from = QStringLiteral("km");
    const QString to = QStringLiteral("kg");
    for (auto _ : state) {
        auto result = ConversionCatalog::convertUnit(5, from, to);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_ConvertUnitIncompatible);

void BM_ConvertCurrency(benchmark::State &state)
{
    const QString from = QStringLiteral("USD");
    const QString to = QStringLiteral("tl");
    const CurrencyRateTable &rates = CurrencyRateTable::offlineDefaults();
    for (auto _ : state) {
        auto result = ConversionCatalog::convertCurrency(250, from, to, rates);
        benchmark::DoNotOptimize(result);
    }
}
BENCHMARK(BM_ConvertCurrency);

void BM_CanonicalCurrencyCode(benchmark::State &state)
{
    const QString symbol = QStringLiteral("€");
    for (auto _ : state) {
        auto code = ConversionCatalog::canonicalCurrencyCode(symbol);
        benchmark::DoNotOptimize(code);
    }
}
BENCHMARK(BM_CanonicalCurrencyCode);

} // namespace

BENCHMARK_MAIN();
