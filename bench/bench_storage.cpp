// The notes file as the application writes and reads it: the whole list on
// every save (350 ms after the last keystroke) and once at start-up. The
// figure that matters is the time per save and per load of a large collection.
#include "BenchProfile.h"
#include "Services/ZulStorageService.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

namespace {

constexpr int kNoteCount = 1000;
constexpr int kContentBytes = 2048;

QList<ZulNote> largeCollection()
{
    // Lines that look like notes: words, numbers, a Turkish letter here and there.
    const QString line = QStringLiteral("Kira: 25000 TL + aidat 3200 → toplam\n");
    QList<ZulNote> notes;
    notes.reserve(kNoteCount);
    const QDateTime when = QDateTime::fromSecsSinceEpoch(1736510400, Qt::UTC);
    for (int i = 0; i < kNoteCount; ++i) {
        QString content = QStringLiteral("# Note %1\n").arg(i);
        while (content.toUtf8().size() < kContentBytes)
            content += line;
        notes.append(ZulNote(QUuid::createUuid(), QStringLiteral("Note %1").arg(i), content,
                             ZulNoteTintAllCases().at(size_t(i % 6)), i % 10 == 0, i % 7 == 0,
                             i % 50 == 0, i % 50 == 0 ? std::optional(QRectF(40, 60, 340, 360)) : std::nullopt,
                             {QStringLiteral("tag%1").arg(i % 5)}, when, when.addSecs(i)));
    }
    return notes;
}

void saveNotes(benchmark::State &state)
{
    QTemporaryDir dir;
    const ZulStorageService storage(dir.path());
    const QList<ZulNote> notes = largeCollection();
    for (auto _ : state) {
        if (!storage.saveNotes(notes)) {
            state.SkipWithError("save failed");
            break;
        }
    }
    state.counters["file_bytes"] = double(storage.totalStorageBytes());
}
BENCHMARK(saveNotes)->Unit(benchmark::kMillisecond);

// What typing costs on disk in a large collection: the save 350 ms after a
// key, of the whole list with one note changed since the last save.
void saveAfterOneEdit(benchmark::State &state)
{
    QTemporaryDir dir;
    const ZulStorageService storage(dir.path());
    QList<ZulNote> notes = BenchProfile::mixedCollection(int(state.range(0)));
    if (!storage.saveNotes(notes)) {
        state.SkipWithError("save failed");
        return;
    }
    int key = 0;
    for (auto _ : state) {
        notes[key % notes.size()].content += u'7';
        ++key;
        if (!storage.saveNotes(notes)) {
            state.SkipWithError("save failed");
            break;
        }
    }
    state.counters["file_bytes"] = double(storage.totalStorageBytes());
}
BENCHMARK(saveAfterOneEdit)->Arg(10000)->Arg(50000)->Unit(benchmark::kMillisecond);

// The first save of a run, with nothing written before it in this process.
void firstSaveOfRun(benchmark::State &state)
{
    const QList<ZulNote> notes = BenchProfile::mixedCollection(int(state.range(0)));
    for (auto _ : state) {
        state.PauseTiming();
        QTemporaryDir dir;
        const ZulStorageService storage(dir.path());
        state.ResumeTiming();
        if (!storage.saveNotes(notes)) {
            state.SkipWithError("save failed");
            break;
        }
    }
}
BENCHMARK(firstSaveOfRun)->Arg(50000)->Unit(benchmark::kMillisecond);

void loadNotes(benchmark::State &state)
{
    QTemporaryDir dir;
    const ZulStorageService storage(dir.path());
    if (!storage.saveNotes(largeCollection())) {
        state.SkipWithError("save failed");
        return;
    }
    for (auto _ : state) {
        const ZulNotesLoadReport report = storage.loadNotesReporting();
        if (report.outcome != ZulNotesLoadOutcome::loaded || report.notes.size() != kNoteCount) {
            state.SkipWithError("load failed");
            break;
        }
        benchmark::DoNotOptimize(report);
    }
}
BENCHMARK(loadNotes)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
