// Whole-note evaluation as the application drives it: every note after every
// debounced edit. The figures that matter are the time for a typical note,
// the time per line as notes grow (it must stay flat) and the memory one
// evaluation needs at its peak (it must grow no faster than the note).
#include "BenchProfile.h"
#include "Engine/ComputationalNoteEngine.h"

#include <benchmark/benchmark.h>

#include <QStringList>

#include <atomic>
#include <cstddef>
#include <malloc.h>

// Counting allocator: forwards to glibc's own and, while counting is on,
// tracks the bytes in use so a benchmark can report one evaluation's peak.
// A sanitizer build brings its own allocator; memory is not reported there.
#if !defined(__SANITIZE_ADDRESS__)
#define VESK_COUNT_ALLOCATIONS 1
extern "C" {
void *__libc_malloc(size_t size);
void *__libc_calloc(size_t count, size_t size);
void *__libc_realloc(void *pointer, size_t size);
void __libc_free(void *pointer);
}

namespace {

std::atomic<bool> counting{false};
std::atomic<long long> bytesInUse{0};
std::atomic<long long> peakBytes{0};

void noteAllocated(void *pointer)
{
    if (!pointer || !counting.load(std::memory_order_relaxed))
        return;
    const long long now = bytesInUse.fetch_add(static_cast<long long>(malloc_usable_size(pointer)),
                                               std::memory_order_relaxed)
                          + static_cast<long long>(malloc_usable_size(pointer));
    long long peak = peakBytes.load(std::memory_order_relaxed);
    while (now > peak && !peakBytes.compare_exchange_weak(peak, now, std::memory_order_relaxed)) {
    }
}

void noteFreed(void *pointer)
{
    if (pointer && counting.load(std::memory_order_relaxed))
        bytesInUse.fetch_sub(static_cast<long long>(malloc_usable_size(pointer)), std::memory_order_relaxed);
}

} // namespace

extern "C" {
void *malloc(size_t size)
{
    void *pointer = __libc_malloc(size);
    noteAllocated(pointer);
    return pointer;
}

void *calloc(size_t count, size_t size)
{
    void *pointer = __libc_calloc(count, size);
    noteAllocated(pointer);
    return pointer;
}

void *realloc(void *pointer, size_t size)
{
    noteFreed(pointer);
    void *moved = __libc_realloc(pointer, size);
    noteAllocated(moved ? moved : (size ? pointer : nullptr));
    return moved;
}

void free(void *pointer)
{
    noteFreed(pointer);
    __libc_free(pointer);
}
}
#endif

namespace {

ComputationalNoteEngine makeEngine()
{
    return ComputationalNoteEngine(CurrencyRateTable::offlineDefaults(), QStringLiteral("TRY"),
                                   QDateTime(QDate(2025, 1, 10), QTime(15, 0), QTimeZone::utc()),
                                   QTimeZone::utc());
}

QString starterNote()
{
    return BenchProfile::starterNoteLines().join(QLatin1Char('\n'));
}

// A note of every kind of line, in English and Turkish, repeated with fresh
// numbers until it reaches `characters`.
QString mixedNote(qsizetype characters)
{
    static const QStringList shapes = {
        QStringLiteral("# Section %1"),
        QStringLiteral("rent%1 = 1450 + %1"),
        QStringLiteral("Kahve: %1"),
        QStringLiteral("Öğle Yemeği: %1,5"),
        QStringLiteral("%1 * 1.18 + rent%1"),
        QStringLiteral("Fatura: %1 + %20 KDV"),
        QStringLiteral("%1 - 15% indirim"),
        QStringLiteral("%1 USD to TRY"),
        QStringLiteral("%1 km to mi"),
        QStringLiteral("€ %1 + 3"),
        QStringLiteral("%1 TL"),
        QStringLiteral("20% of %1"),
        QStringLiteral("sqrt(%1) + round(3.14159, 2)"),
        QStringLiteral("prev / 2 // half of it"),
        QStringLiteral("today + %1 days"),
        QStringLiteral("toplam"),
        QStringLiteral("avg"),
        QStringLiteral("- [x] task %1 done"),
        QStringLiteral("- [ ] task %1 open"),
        QStringLiteral("1. Buy milk and bread"),
        QStringLiteral("Some prose about item %1 that is not a calculation."),
        QString(),
    };
    QString text;
    text.reserve(characters + 64);
    for (int i = 0; text.size() < characters; ++i) {
        text += shapes[i % shapes.size()].arg(i % 997 + 1);
        text += QLatin1Char('\n');
    }
    text.truncate(characters);
    return text;
}

void reportPerLine(benchmark::State &state, const QString &text)
{
    const auto lines = ComputationalNoteEngine::splitLines(text).size();
    state.counters["lines"] = double(lines);
    state.counters["per_line"] = benchmark::Counter(double(state.iterations()) * double(lines),
                                                    benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(text.size()) * 2);
}

void reportPeakMemory(benchmark::State &state, const ComputationalNoteEngine &engine, const QString &text)
{
#if defined(VESK_COUNT_ALLOCATIONS)
    bytesInUse = 0;
    peakBytes = 0;
    counting = true;
    {
        const NoteEvaluationSummary summary = engine.evaluate(text);
        benchmark::DoNotOptimize(summary);
    }
    counting = false;
    state.counters["peak_bytes"] = double(peakBytes.load());
    state.counters["peak_per_char"] = double(peakBytes.load()) / double(text.size());
#else
    Q_UNUSED(state);
    Q_UNUSED(engine);
    Q_UNUSED(text);
#endif
}

void evaluateStarterNote(benchmark::State &state)
{
    const ComputationalNoteEngine engine = makeEngine();
    const QString text = starterNote();
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.evaluate(text));
    reportPerLine(state, text);
}
BENCHMARK(evaluateStarterNote);

void evaluateMixedNote(benchmark::State &state)
{
    const ComputationalNoteEngine engine = makeEngine();
    const QString text = mixedNote(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.evaluate(text));
    reportPerLine(state, text);
    reportPeakMemory(state, engine, text);
}
// 4,000 characters (the size above which the application evaluates off
// the main thread), then 4 KiB, 64 KiB, 1 MiB and 5 MiB.
BENCHMARK(evaluateMixedNote)
    ->Arg(4000)
    ->Arg(4 << 10)
    ->Arg(64 << 10)
    ->Arg(1 << 20)
    ->Arg(5 << 20)
    ->Unit(benchmark::kMicrosecond);

// One block of `lines` lines with no blank line, heading or rule in it:
// values interleaved with every kind of aggregate (keywords, the symbols
// and functions of arithmetic, a labelled total that joins the block). The
// currency form holds only amounts in several currencies, so every keyword
// aggregate converts the block into the default currency. The time must
// grow linearly with the block.
QString aggregateBlock(qsizetype lines, bool currencies)
{
    static const QStringList plain = {
        QStringLiteral("%1"),          QStringLiteral("sum"),      QStringLiteral("%1.5 * 2"),
        QStringLiteral("avg"),         QStringLiteral("min"),      QStringLiteral("Subtotal: sum / 4"),
        QStringLiteral("max"),         QStringLiteral("count"),    QStringLiteral("sum() + avg"),
        QStringLiteral("toplam"),      QStringLiteral("ortalama"), QStringLiteral("max * 2 + count"),
    };
    static const QStringList money = {
        QStringLiteral("%1 USD"), QStringLiteral("sum"),     QStringLiteral("%1 EUR"), QStringLiteral("avg"),
        QStringLiteral("%1 TRY"), QStringLiteral("max"),     QStringLiteral("€ %1"),   QStringLiteral("min"),
        QStringLiteral("$%1"),    QStringLiteral("toplam"),
    };
    const QStringList &shapes = currencies ? money : plain;
    QStringList text;
    text.reserve(lines);
    for (qsizetype i = 0; i < lines; ++i) {
        const QString &shape = shapes[i % shapes.size()];
        text.append(shape.contains(QLatin1String("%1")) ? shape.arg(i % 997 + 1) : shape);
    }
    return text.join(QLatin1Char('\n'));
}

void evaluateAggregateBlock(benchmark::State &state)
{
    const ComputationalNoteEngine engine = makeEngine();
    const QString text = aggregateBlock(state.range(0), state.range(1) == 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.evaluate(text));
    reportPerLine(state, text);
}
BENCHMARK(evaluateAggregateBlock)
    ->ArgsProduct({{2500, 10000, 20000, 40000, 80000}, {0, 1}})
    ->Unit(benchmark::kMillisecond);

// One key typed into the middle of a note of `range(0)` characters,
// evaluated from the evaluation of the text before the key, as the
// application evaluates a long note while it is typed into.
void evaluateEditedLongNote(benchmark::State &state)
{
    const ComputationalNoteEngine engine = makeEngine();
    const QString text = mixedNote(state.range(0));
    const CompactNoteEvaluation previous = engine.evaluateCompact(text);
    QString edited = text;
    edited.insert(edited.indexOf(QLatin1Char('\n'), edited.size() / 2), QLatin1Char('7'));
    for (auto _ : state)
        benchmark::DoNotOptimize(engine.evaluateCompact(edited, &previous));
    reportPerLine(state, edited);
}
BENCHMARK(evaluateEditedLongNote)->Arg(1 << 20)->Arg(5 << 20)->Unit(benchmark::kMillisecond);

void splitLines(benchmark::State &state)
{
    const QString text = mixedNote(1 << 20);
    for (auto _ : state)
        benchmark::DoNotOptimize(ComputationalNoteEngine::splitLines(text));
    reportPerLine(state, text);
}
BENCHMARK(splitLines)->Unit(benchmark::kMicrosecond);

void copyEngine(benchmark::State &state)
{
    const ComputationalNoteEngine engine = makeEngine();
    for (auto _ : state) {
        ComputationalNoteEngine copy = engine;
        benchmark::DoNotOptimize(copy);
    }
}
BENCHMARK(copyEngine);

void constructEngine(benchmark::State &state)
{
    const CurrencyRateTable &rates = CurrencyRateTable::offlineDefaults();
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QTimeZone zone = QTimeZone::systemTimeZone();
    for (auto _ : state) {
        ComputationalNoteEngine engine(rates, QStringLiteral("try"), now, zone);
        benchmark::DoNotOptimize(engine);
    }
}
BENCHMARK(constructEngine);

} // namespace

BENCHMARK_MAIN();
