// The studio view model's two hot paths: one keystroke in a long note
// (content update with its evaluation) and start-up over a large collection.

#include "BenchProfile.h"
#include "Services/ZulStorageService.h"
#include "VeskKit/System/VeskGlobalHotkeyManager.h"
#include "ViewModels/ZulStudioViewModel.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <vector>
#include <malloc.h>
#include <memory>

namespace {

// A realistic mixed note: sums, variables, percentages, conversions, tasks
// and prose, cut to exactly `length` characters.
QString mixedNote(int length, int seed)
{
    const QStringList lines{
        QStringLiteral("# Budget %1").arg(seed),
        QStringLiteral("rent = 1200"),
        QStringLiteral("food = 350 + 20%"),
        QStringLiteral("Internet: 45 USD to TRY"),
        QStringLiteral("- [x] pay the bills"),
        QStringLiteral("- [ ] call the bank"),
        QStringLiteral("rent + food"),
        QStringLiteral("10 km to mi"),
        QStringLiteral("Some words that are only words, no numbers here."),
        QStringLiteral("1850 + %20 KDV"),
        QStringLiteral("sum"),
        QStringLiteral("%1 * 3.5").arg(seed % 97),
    };
    QString text;
    for (int index = 0; text.size() < length; ++index)
        text += lines.at(index % lines.size()) + QLatin1Char('\n');
    text.truncate(length);
    return text;
}

ZulStudioEnvironment quietEnvironment()
{
    ZulStudioEnvironment environment;
    environment.makeHotkeyManager = [] { return std::unique_ptr<VeskGlobalHotkeyManager>(); };
    return environment;
}

QList<ZulNote> collection(int count, int length)
{
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<ZulNote> notes;
    for (int index = 0; index < count; ++index) {
        ZulNote note;
        note.id = QUuid::createUuid();
        note.title = QStringLiteral("Note %1").arg(index);
        note.content = mixedNote(length, index);
        note.isPinned = index % 17 == 0;
        note.tags = {QStringLiteral("work")};
        note.createdAt = now.addSecs(-index * 60);
        note.updatedAt = note.createdAt;
        notes.append(note);
    }
    return notes;
}

void BM_UpdateNoteContentLongNote(benchmark::State &state)
{
    QTemporaryDir folder;
    ZulStorageService storage(folder.path());
    QList<ZulNote> notes = collection(50, 300);
    notes.first().content = mixedNote(4000, 1);
    (void)storage.saveNotes(notes);
    ZulStudioViewModel viewModel(storage, quietEnvironment());
    const QUuid id = notes.first().id;

    // Two texts of 4000 characters that differ in their last line, so every
    // call is a real change evaluated on the spot.
    const QString base = mixedNote(3996, 1);
    const QString texts[2] = {base + QStringLiteral("\n2+2"), base + QStringLiteral("\n3*3")};
    int flip = 0;
    for (auto _ : state) {
        viewModel.updateNoteContent(id, texts[flip]);
        flip ^= 1;
        benchmark::DoNotOptimize(viewModel.evaluationsByNoteID());
    }
}
BENCHMARK(BM_UpdateNoteContentLongNote)->Unit(benchmark::kMicrosecond);

void BM_StartUpWithThousandNotes(benchmark::State &state)
{
    QTemporaryDir folder;
    ZulStorageService storage(folder.path());
    (void)storage.saveNotes(collection(1000, 400));
    for (auto _ : state) {
        auto viewModel = std::make_unique<ZulStudioViewModel>(storage, quietEnvironment());
        benchmark::DoNotOptimize(viewModel->notes().size());
        state.PauseTiming();
        viewModel.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StartUpWithThousandNotes)->Unit(benchmark::kMillisecond);

// One key in a small note with `range(0)` notes on disk (profiles of 5 to
// 40 mixed lines), the view model alone: what every surface then redraws
// is timed by the editor's benchmarks.
void BM_UpdateNoteContentAtScale(benchmark::State &state)
{
    QTemporaryDir folder;
    const QList<ZulNote> notes = BenchProfile::mixedCollection(int(state.range(0)));
    if (!BenchProfile::write(folder.path(), notes))
        state.SkipWithError("could not write the notes");
    ZulStudioViewModel viewModel(ZulStorageService(folder.path()), quietEnvironment());
    const QUuid id = notes.at(1).id;
    const QString base = viewModel.note(id)->content;
    const QString texts[2] = {base + QStringLiteral("7"), base};
    int flip = 0;
    for (auto _ : state) {
        viewModel.updateNoteContent(id, texts[flip]);
        flip ^= 1;
    }
}
BENCHMARK(BM_UpdateNoteContentAtScale)->Arg(10000)->Arg(50000)->Unit(benchmark::kMicrosecond);

// One key typed into the search field over `range(0)` notes: every note is
// matched against the new query, as the sidebar's list does. `range(1)` 0:
// the profile as written, English and Turkish lines; 1: the same notes in
// plain ASCII, as an English writer's notes mostly are.
void BM_SearchKeyAtScale(benchmark::State &state)
{
    QTemporaryDir folder;
    QList<ZulNote> notes = BenchProfile::mixedCollection(int(state.range(0)));
    if (state.range(1) == 1) {
        for (ZulNote &note : notes)
            note.content.replace(QStringLiteral("Öğle Yemeği"), QStringLiteral("Lunch")).replace(u'€', u'$');
    }
    if (!BenchProfile::write(folder.path(), notes))
        state.SkipWithError("could not write the notes");
    ZulStudioViewModel viewModel(ZulStorageService(folder.path()), quietEnvironment());
    const QString queries[2] = {QStringLiteral("task 99"), QStringLiteral("task 9")};
    int flip = 0;
    qsizetype listed = 0;
    for (auto _ : state) {
        viewModel.setSearchText(queries[flip]);
        flip ^= 1;
        for (const ZulNote &note : viewModel.notes())
            listed += viewModel.isListed(note) ? 1 : 0;
    }
    benchmark::DoNotOptimize(listed);
}
BENCHMARK(BM_SearchKeyAtScale)->Args({50000, 0})->Args({50000, 1})->Unit(benchmark::kMillisecond);

// Loading and evaluating a large collection, with the memory it then holds
// (resident, KiB, above what the process held before) and the time to
// release it all again.
void BM_StartUpAtScale(benchmark::State &state)
{
    QTemporaryDir folder;
    if (!BenchProfile::write(folder.path(), BenchProfile::mixedCollection(int(state.range(0)))))
        state.SkipWithError("could not write the notes");
    const ZulStorageService storage(folder.path());
    double releaseMs = 0;
    double residentKiB = 0;
    for (auto _ : state) {
        const qint64 before = BenchProfile::residentKilobytes();
        auto viewModel = std::make_unique<ZulStudioViewModel>(storage, quietEnvironment());
        benchmark::DoNotOptimize(viewModel->notes().size());
        state.PauseTiming();
        residentKiB += double(BenchProfile::residentKilobytes() - before);
        const auto released = std::chrono::steady_clock::now();
        viewModel.reset();
        releaseMs += std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - released).count();
        // What was freed goes back to the system, so the next round starts
        // from the same footing.
        malloc_trim(0);
        state.ResumeTiming();
    }
    state.counters["held_KiB"] = residentKiB / double(state.iterations());
    state.counters["release_ms"] = releaseMs / double(state.iterations());
}
BENCHMARK(BM_StartUpAtScale)->Arg(10000)->Arg(50000)->Iterations(3)->Unit(benchmark::kMillisecond);

// A log of `characters` characters without a blank line: one block from
// top to bottom, most lines without a result, some with a number, an amount
// or a duration, now and then a line reading the block.
QString logNote(qsizetype characters)
{
    QString text;
    text.reserve(characters + 128);
    for (int i = 0; text.size() < characters; ++i) {
        const int n = i % 997;
        switch (i % 12) {
        case 3:
            text += QStringLiteral("retries: %1").arg(n % 7);
            break;
        case 6:
            text += QStringLiteral("%1 ms to s").arg(n * 13);
            break;
        case 9:
            text += QStringLiteral("%1 USD").arg(n);
            break;
        default:
            text += QStringLiteral("2025-01-10 12:%1:%2 INFO [worker-%3] GET /api/items/%4 200 %5 ms")
                        .arg(i / 60 % 60, 2, 10, QLatin1Char('0'))
                        .arg(i % 60, 2, 10, QLatin1Char('0'))
                        .arg(i % 8)
                        .arg(i)
                        .arg(n % 300);
        }
        if (i % 500 == 499)
            text += QStringLiteral("\nTotal so far: sum");
        text += QLatin1Char('\n');
    }
    return text;
}

// Typing at ten keys a second at the end of a 5 MB log: each iteration is
// one key, timed from the key until the evaluation of the text as it then
// stands is published, the typed line's result with it.
void BM_TypeAtEndOfLongLog(benchmark::State &state)
{
    QTemporaryDir folder;
    ZulStorageService storage(folder.path());
    QList<ZulNote> notes = collection(3, 200);
    notes.first().content = logNote(5 << 20);
    (void)storage.saveNotes(notes);
    ZulStudioViewModel viewModel(storage, quietEnvironment());
    const QUuid id = notes.first().id;
    QString text = notes.first().content;
    const QString typed = QStringLiteral("12 + 30 * 2 ");
    qsizetype key = 0;
    const auto published = [&] { return viewModel.cachedEvaluation(id).text() == text; };
    const auto wait = [&](const std::function<bool()> &until, std::chrono::steady_clock::time_point deadline) {
        while (!until() && std::chrono::steady_clock::now() < deadline)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 2);
    };
    // The note as it was loaded is evaluated first.
    wait(published, std::chrono::steady_clock::now() + std::chrono::seconds(30));
    std::vector<double> latencies;
    for (auto _ : state) {
        const auto pressed = std::chrono::steady_clock::now();
        text += typed.at(key++ % typed.size());
        viewModel.updateNoteContent(id, text);
        wait(published, pressed + std::chrono::seconds(5));
        const double latency = std::chrono::duration<double>(std::chrono::steady_clock::now() - pressed).count();
        state.SetIterationTime(latency);
        latencies.push_back(latency * 1000);
        // The next key comes 100 ms after this one.
        wait([] { return false; }, pressed + std::chrono::milliseconds(100));
    }
    std::sort(latencies.begin(), latencies.end());
    state.counters["median_ms"] = latencies[latencies.size() / 2];
    state.counters["p90_ms"] = latencies[latencies.size() * 9 / 10];
    state.counters["max_ms"] = latencies.back();
}
BENCHMARK(BM_TypeAtEndOfLongLog)->Iterations(40)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    // The log and the settings land in a private folder, not the home.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", QDir(home.path()).filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", QDir(home.path()).filePath(QStringLiteral("config")).toUtf8());
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
