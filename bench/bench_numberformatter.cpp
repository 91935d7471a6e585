// Every result on screen goes through the formatter, for every line on every
// evaluation.
#include "Engine/ZulNumberFormatter.h"

#include <benchmark/benchmark.h>

#include <array>

namespace {

template <std::size_t N>
void formatAll(benchmark::State &state, const std::array<double, N> &values, int digits)
{
    for (auto _ : state) {
        for (double value : values)
            benchmark::DoNotOptimize(ZulNumberFormatter::format(value, digits));
    }
    state.counters["per_value"] = benchmark::Counter(double(state.iterations()) * double(N),
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

void formatWholeNumbers(benchmark::State &state)
{
    static constexpr std::array<double, 6> values = {42, 1234, -987654321, 1000000, 7, 31536000};
    formatAll(state, values, 2);
}
BENCHMARK(formatWholeNumbers);

void formatWithFractionDigits(benchmark::State &state)
{
    static constexpr std::array<double, 6> values = {1234.5678, 0.125, 3.14159265, -2.5, 99.995, 1e6 / 7};
    formatAll(state, values, 4);
}
BENCHMARK(formatWithFractionDigits);

void formatMoney(benchmark::State &state)
{
    static constexpr std::array<double, 4> values = {3800.456, 9.2, 1234567.891, 0.92};
    formatAll(state, values, 2);
}
BENCHMARK(formatMoney);

} // namespace

BENCHMARK_MAIN();
