// The editor as a person feels it: one key typed into a note, from the key
// event to the repainted result column (text view, view model, evaluation
// and both side columns included), and one scroll step through a very long
// note (only the rows on screen may be laid out and painted), and the key
// again in the whole studio window while the sidebar searches a large
// collection, and a letter typed into that search with the edge drawer
// open. Each key and each step is timed on its own; the median is reported
// as median_ms.
#include "App/ZulAllocatorPolicy.h"
#include "BenchProfile.h"
#include "VeskKit/System/VeskGlobalHotkeyManager.h"
#include "ViewModels/ZulStudioViewModel.h"
#include "Views/ComputationalEditorView.h"
#include "Views/EdgeDrawerController.h"
#include "Views/FloatingStickyNoteController.h"
#include "Views/MainZulStudioView.h"
#include "Views/ZulNoteListModel.h"
#include "Views/ZulSidebarView.h"
#include "Views/SynchronizedComputationalTextView.h"
#include "Views/ZulResultGutter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QThread>

#include <algorithm>
#include <cmath>
#include <functional>
#include <memory>
#include <time.h>
#include <vector>

namespace {

QApplication *application()
{
    static int argc = 1;
    static char name[] = "bench_editor";
    static char *argv[] = {name, nullptr};
    static QTemporaryDir home;
    static QApplication *app = [] {
        // Typing memory is measured under the application's own policy.
        applyLongTextAllocatorPolicy();
        // Nothing here may touch the real home folder.
        qputenv("XDG_DATA_HOME", home.filePath(QStringLiteral("data")).toUtf8());
        qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
        qputenv("XDG_CACHE_HOME", home.filePath(QStringLiteral("cache")).toUtf8());
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        return new QApplication(argc, argv);
    }();
    return app;
}

void settle()
{
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}

// A realistic note of about `size` characters: headings, sums, variables,
// tasks and prose.
QString sampleNote(qsizetype size)
{
    return BenchProfile::longNote(size);
}

// The value below which `fraction` of the values lie (the nearest rank).
double percentile(std::vector<double> values, double fraction)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    const size_t rank = size_t(std::ceil(fraction * double(values.size())));
    return values[std::clamp<size_t>(rank, 1, values.size()) - 1];
}

double median(std::vector<double> values)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

struct Editor
{
    QTemporaryDir folder;
    std::unique_ptr<ZulStudioViewModel> viewModel;
    std::unique_ptr<ComputationalEditorView> view;

    explicit Editor(const QString &content)
    {
        application();
        viewModel = std::make_unique<ZulStudioViewModel>(ZulStorageService(folder.path()));
        const ZulNote note = viewModel->createNote(QStringLiteral("Bench"), content, ZulNoteTint::indigo, false, false);
        view = std::make_unique<ComputationalEditorView>(viewModel.get(), note.id, false, true);
        view->resize(1180, 740);
        view->show();
        settle();
    }
};

// Counts the paints of one widget, so a measurement can stop the moment the
// result column has been drawn anew.
class PaintCounter : public QObject
{
public:
    explicit PaintCounter(QWidget *widget)
    {
        widget->installEventFilter(this);
    }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

// Runs the event loop, as the application would, until the widget counted
// has painted once more (or a second has gone by).
void untilPainted(PaintCounter &counter)
{
    const int before = counter.paints;
    QElapsedTimer limit;
    limit.start();
    while (counter.paints == before && limit.elapsed() < 1000)
        QCoreApplication::processEvents();
}

void sendKey(QWidget *target, int key, const QString &text)
{
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(target, &release);
}

// One key per iteration into `text`, a digit and Backspace in turn so the
// note keeps its length, each timed until `gutter` has painted anew; the
// median, the 90th percentile and the slowest key go to median_ms, p90_ms
// and max_ms.
void typeAndTime(benchmark::State &state, SynchronizedComputationalTextView *text, QWidget *gutter)
{
    PaintCounter gutterPaints(gutter);
    std::vector<double> times;
    bool typeDigit = true;
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        if (typeDigit)
            sendKey(text, Qt::Key_7, QStringLiteral("7"));
        else
            sendKey(text, Qt::Key_Backspace, QString());
        untilPainted(gutterPaints);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        state.SetIterationTime(ms / 1000);
        times.push_back(ms);
        typeDigit = !typeDigit;
        settle();
    }
    state.counters["median_ms"] = median(times);
    state.counters["p90_ms"] = percentile(times, 0.9);
    state.counters["max_ms"] = percentile(times, 1.0);
}

// typeAndTime at the end of the note the studio shows, with the sidebar's
// row count beside the figures.
void typeIntoStudio(benchmark::State &state, MainZulStudioView &studio)
{
    settle();
    auto *editor = qobject_cast<ComputationalEditorView *>(studio.editor());
    SynchronizedComputationalTextView *text = editor->textView();
    text->moveCursor(QTextCursor::End);
    text->setFocus();
    settle();

    typeAndTime(state, text, editor->resultGutter());
    state.counters["listed"] = double(studio.sidebar()->noteListModel()->rowCount());
}

// Typing into a note just under the length above which evaluation waits for
// a pause: every key is evaluated at once.
void BM_EditorTypeOneCharacter(benchmark::State &state)
{
    Editor editor(sampleNote(3999));
    SynchronizedComputationalTextView *text = editor.view->textView();
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(text->documentPosition(1800));
    text->setTextCursor(cursor);
    text->setFocus();
    settle();

    typeAndTime(state, text, editor.view->resultGutter());
    state.counters["rows"] = double(editor.view->resultGutter()->visibleRows().size());
}
BENCHMARK(BM_EditorTypeOneCharacter)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(400);

// The same keystroke in the whole studio window (sidebar beside the editor)
// over 1,000 notes on disk, one of them of 2 MB, typed into a small note;
// with the argument 1 a search term stands in the sidebar's field, which
// the 2 MB note does not contain, with 0 the field is empty.
void BM_StudioTypeWhileSearching(benchmark::State &state)
{
    application();
    QTemporaryDir folder;
    const QDateTime now = QDateTime::currentDateTimeUtc();
    QList<ZulNote> notes;
    for (int index = 0; index < 1000; ++index) {
        const QDateTime written = now.addSecs(-60 * (index + 1));
        notes.append(ZulNote(QUuid::createUuid(), QStringLiteral("Note %1").arg(index), sampleNote(400),
                             ZulNoteTint::indigo, false, false, false, std::nullopt, {QStringLiteral("work")},
                             written, written));
    }
    notes[500].content = sampleNote(2 << 20);
    const QUuid longNote = notes[500].id;
    notes[10].title = QStringLiteral("Groceries");
    notes[10].content = QStringLiteral("milk = 2.5\nbread = 3\nmilk + bread\n");
    const QUuid smallNote = notes[10].id;
    if (!ZulStorageService(folder.path()).saveNotes(notes))
        state.SkipWithError("could not write the notes");

    ZulStudioViewModel viewModel{ZulStorageService(folder.path())};
    MainZulStudioView studio(viewModel, QColor(0x7CA4FF), [](ZulStudioViewModel &model, const QUuid &id, QWidget *parent) {
        return new ComputationalEditorView(&model, id, false, true, parent);
    });
    studio.resize(1180, 740);
    studio.show();
    viewModel.setSelectedNoteID(smallNote);
    if (state.range(0) == 1)
        viewModel.setSearchText(QStringLiteral("grocer"));
    // The long note's evaluation runs off the main thread at start-up.
    for (int i = 0; i < 12000 && viewModel.evaluation(longNote).lines.isEmpty(); ++i) {
        QThread::msleep(10);
        settle();
    }
    typeIntoStudio(state, studio);
}
BENCHMARK(BM_StudioTypeWhileSearching)->Arg(0)->Arg(1)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(400);

// One scroll step (a wheel notch of three rows) through a 1 MiB note,
// including the repaint of the text and both side columns.
void BM_EditorScrollLargeNote(benchmark::State &state)
{
    Editor editor(sampleNote(1 << 20));
    // Wait for the evaluation that runs off the main thread for long notes.
    for (int i = 0; i < 400 && editor.view->resultGutter()->summary().lines.isEmpty(); ++i) {
        QThread::msleep(10);
        settle();
    }
    SynchronizedComputationalTextView *text = editor.view->textView();
    QScrollBar *bar = text->verticalScrollBar();
    const int step = bar->singleStep() * 3;
    PaintCounter gutterPaints(editor.view->resultGutter());
    std::vector<double> times;
    QElapsedTimer timer;
    int position = bar->maximum() / 3;
    for (auto _ : state) {
        position += step;
        if (position > bar->maximum())
            position = 0;
        timer.start();
        bar->setValue(position);
        untilPainted(gutterPaints);
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        state.SetIterationTime(ms / 1000);
        times.push_back(ms);
        settle();
    }
    state.counters["median_ms"] = median(times);
    state.counters["rows"] = double(editor.view->resultGutter()->visibleRows().size());
    state.counters["lines"] = double(text->document()->blockCount());
}
BENCHMARK(BM_EditorScrollLargeNote)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(300);

// The studio over `notes` notes on disk (profiles of 5 to 40 mixed lines),
// with the edge drawer open on another note than the one typed into (the
// fourth, a small one) and the second note floating as a sticky panel.
struct StudioAtScale
{
    QTemporaryDir folder;
    QUuid typedNote;
    bool written = false;
    std::unique_ptr<ZulStudioViewModel> viewModel;
    std::unique_ptr<MainZulStudioView> studio;

    explicit StudioAtScale(int count)
    {
        application();
        QList<ZulNote> notes = BenchProfile::mixedCollection(count);
        notes[3].title = QStringLiteral("Groceries");
        notes[3].content = QStringLiteral("milk = 2.5\nbread = 3\nmilk + bread\n");
        typedNote = notes[3].id;
        const QUuid drawerNote = notes[0].id;
        notes[1].isFloatingSticky = true;
        written = BenchProfile::write(folder.path(), notes);

        ZulStudioEnvironment environment;
        environment.makeHotkeyManager = [] { return std::unique_ptr<VeskGlobalHotkeyManager>(); };
        environment.makeEdgeDrawerController = [](ZulStudioViewModel &model) {
            return std::make_unique<EdgeDrawerController>(model);
        };
        environment.makeStickyController = [](ZulStudioViewModel &model) {
            return std::make_unique<FloatingStickyNoteController>(model);
        };
        viewModel = std::make_unique<ZulStudioViewModel>(ZulStorageService(folder.path()), environment);
        studio = std::make_unique<MainZulStudioView>(
            *viewModel, QColor(0x7CA4FF), [](ZulStudioViewModel &model, const QUuid &id, QWidget *parent) {
                return new ComputationalEditorView(&model, id, false, true, parent);
            });
        studio->resize(1180, 740);
        studio->show();
        // The sticky floats up a moment after start-up.
        QElapsedTimer started;
        started.start();
        while (started.elapsed() < 600)
            settle();
        viewModel->setSelectedNoteID(drawerNote);
        viewModel->toggleEdgeDrawer();
        settle();
        viewModel->setSelectedNoteID(typedNote);
    }
};

// The keystroke of BM_StudioTypeWhileSearching in the StudioAtScale of
// `range(0)` notes; with `range(1)` 1 a search term stands in the sidebar's
// field.
void BM_StudioTypeAtScale(benchmark::State &state)
{
    StudioAtScale scale(int(state.range(0)));
    if (!scale.written)
        state.SkipWithError("could not write the notes");
    if (state.range(1) == 1)
        scale.viewModel->setSearchText(QStringLiteral("grocer"));
    typeIntoStudio(state, *scale.studio);
    state.counters["drawer_open"] = scale.viewModel->isEdgeDrawerOpen() ? 1 : 0;
    state.counters["stickies"] = double(scale.viewModel->activeStickyCount());
}
BENCHMARK(BM_StudioTypeAtScale)
    ->Args({50000, 0})
    ->Args({50000, 1})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(40);

// This thread's processor time, in milliseconds.
double threadMilliseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
}

// Does `act`, then runs the event loop until the main thread has had
// nothing to do for a tenth of a second (or `limitMs` went by), and tells
// how long the main thread was busy from the start of `act`.
double busyUntilIdle(const std::function<void()> &act, double limitMs)
{
    const double start = threadMilliseconds();
    act();
    QElapsedTimer wall;
    wall.start();
    qint64 lastBusy = 0;
    while (wall.elapsed() - lastBusy < 100 && wall.elapsed() < limitMs) {
        const double before = threadMilliseconds();
        QCoreApplication::processEvents();
        if (threadMilliseconds() - before > 0.2)
            lastBusy = wall.elapsed();
        else
            QThread::msleep(1);
    }
    return threadMilliseconds() - start;
}

// One letter typed into the sidebar's search field of the StudioAtScale of
// `range(0)` notes, matching most notes (the letter "c", in nine of ten), then
// Backspace: the main thread's processor time from the key until it has
// nothing more to do is the iteration time for the letter; clear_ms is the
// median of Backspace, which lists every note again.
void BM_DrawerSearchLetterAtScale(benchmark::State &state)
{
    StudioAtScale scale(int(state.range(0)));
    if (!scale.written)
        state.SkipWithError("could not write the notes");
    QLineEdit *field = scale.studio->sidebar()->searchField();
    field->setFocus();
    busyUntilIdle([] {}, 60000);
    std::vector<double> letters;
    std::vector<double> clears;
    for (auto _ : state) {
        letters.push_back(busyUntilIdle([field] { sendKey(field, Qt::Key_C, QStringLiteral("c")); }, 900000));
        state.SetIterationTime(letters.back() / 1000);
        state.counters["listed"] = double(ZulNoteListModel::of(*scale.viewModel).rowCount());
        state.PauseTiming();
        clears.push_back(busyUntilIdle([field] { sendKey(field, Qt::Key_Backspace, QString()); }, 900000));
        state.ResumeTiming();
    }
    state.counters["median_ms"] = median(letters);
    state.counters["clear_ms"] = median(clears);
    state.counters["drawer_open"] = scale.viewModel->isEdgeDrawerOpen() ? 1 : 0;
}
BENCHMARK(BM_DrawerSearchLetterAtScale)
    ->Arg(2000)
    ->Arg(5000)
    ->Arg(50000)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// Waits, running the event loop, until the long note's evaluation (done off
// the main thread) is in, at most `ms`.
void untilEvaluated(ZulStudioViewModel &model, const QUuid &id, int ms)
{
    QElapsedTimer limit;
    limit.start();
    while (model.evaluation(id).lines.isEmpty() && limit.elapsed() < ms) {
        QThread::msleep(5);
        settle();
    }
}

// Opening a 5 MiB note in a new editor: from making the editor to the end
// of the first paint of its text.
void BM_EditorOpenHugeNote(benchmark::State &state)
{
    application();
    QTemporaryDir folder;
    ZulStudioViewModel model(ZulStorageService(folder.path()));
    const ZulNote note = model.createNote(QStringLiteral("Log"), BenchProfile::longNote(5 << 20), ZulNoteTint::indigo,
                                          false, false);
    untilEvaluated(model, note.id, 20000);
    QElapsedTimer timer;
    for (auto _ : state) {
        timer.start();
        auto view = std::make_unique<ComputationalEditorView>(&model, note.id, false, true);
        PaintCounter textPaints(view->textView()->viewport());
        view->resize(1180, 740);
        view->show();
        untilPainted(textPaints);
        state.SetIterationTime(double(timer.nsecsElapsed()) / 1e9);
        state.PauseTiming();
        view.reset();
        settle();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EditorOpenHugeNote)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// Typing at about seven keys a second into a line in the middle of a note
// of `range(0)` characters: the main thread's time per key (from the key to
// the end of the text's repaint) is the iteration time; result_ms is the
// median time from the key to the result column painted with the new
// result.
void BM_EditorTypeHugeNote(benchmark::State &state)
{
    Editor editor(BenchProfile::longNote(state.range(0)));
    const QUuid id = editor.view->noteID();
    untilEvaluated(*editor.viewModel, id, 20000);
    SynchronizedComputationalTextView *text = editor.view->textView();
    // The end of a "design = 1200" line near the middle: a digit there
    // changes the results beside it.
    const QString content = editor.viewModel->note(id)->content;
    const qsizetype line = content.indexOf(QStringLiteral("design = 1200"), content.size() / 2);
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(text->documentPosition(line + 13));
    text->setTextCursor(cursor);
    text->ensureCursorVisible();
    text->setFocus();
    settle();

    PaintCounter textPaints(text->viewport());
    PaintCounter gutterPaints(editor.view->resultGutter());
    // The column's paints as they stood when the last evaluation came in:
    // its repaint may come in the same turn of the event loop.
    int evaluations = 0;
    int paintsAtEvaluation = 0;
    QObject::connect(editor.viewModel.get(), &ZulStudioViewModel::evaluationsByNoteIDChanged, text, [&] {
        ++evaluations;
        paintsAtEvaluation = gutterPaints.paints;
    });
    std::vector<double> keys;
    std::vector<double> results;
    bool typeDigit = true;
    QElapsedTimer timer;
    for (auto _ : state) {
        const int evaluationsBefore = evaluations;
        timer.start();
        if (typeDigit)
            sendKey(text, Qt::Key_7, QStringLiteral("7"));
        else
            sendKey(text, Qt::Key_Backspace, QString());
        untilPainted(textPaints);
        const double keyMs = double(timer.nsecsElapsed()) / 1e6;
        state.SetIterationTime(keyMs / 1000);
        keys.push_back(keyMs);
        while ((evaluations == evaluationsBefore || gutterPaints.paints == paintsAtEvaluation)
               && timer.elapsed() < 5000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        results.push_back(double(timer.nsecsElapsed()) / 1e6);
        while (timer.elapsed() < 150)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
        typeDigit = !typeDigit;
    }
    state.counters["median_ms"] = median(keys);
    state.counters["result_ms"] = median(results);
}
BENCHMARK(BM_EditorTypeHugeNote)->Arg(5 << 20)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(40);

// A digit and Backspace in turn at the end (or, second argument, that many
// percent into) one line of 100,000 characters ("1+1+…"): the main thread's
// time per key, to the end of the text's repaint.
void BM_EditorTypeLongLine(benchmark::State &state)
{
    const QString line = BenchProfile::longSumLine(state.range(0));
    Editor editor(line);
    SynchronizedComputationalTextView *text = editor.view->textView();
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(text->documentPosition(line.size() * state.range(1) / 100));
    text->setTextCursor(cursor);
    text->setFocus();
    settle();
    typeAndTime(state, text, text->viewport());
}
BENCHMARK(BM_EditorTypeLongLine)
    ->Args({100000, 100})
    ->Args({100000, 50})
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(60);

// Thirty seconds of typing at ten keys a second into a 5 MiB note: how much
// the resident memory grows (rss_growth_pct), with the event loop running
// between the keys as it does for a person typing, and how much of that is
// left after a pause (rss_paused_growth_pct).
void BM_EditorTypingMemoryHugeNote(benchmark::State &state)
{
    Editor editor(BenchProfile::longNote(5 << 20));
    const QUuid id = editor.view->noteID();
    untilEvaluated(*editor.viewModel, id, 20000);
    SynchronizedComputationalTextView *text = editor.view->textView();
    QTextCursor cursor = text->textCursor();
    cursor.setPosition(text->documentPosition(editor.viewModel->note(id)->content.size() / 2));
    text->setTextCursor(cursor);
    text->setFocus();
    settle();
    QElapsedTimer pause;
    pause.start();
    while (pause.elapsed() < 1000)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
    for (auto _ : state) {
        const qint64 before = BenchProfile::residentKilobytes();
        QElapsedTimer clock;
        clock.start();
        for (int key = 0; key < 300; ++key) {
            if (key % 2 == 0)
                sendKey(text, Qt::Key_7, QStringLiteral("7"));
            else
                sendKey(text, Qt::Key_Backspace, QString());
            while (clock.elapsed() < qint64(key + 1) * 100)
                QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        }
        const qint64 after = BenchProfile::residentKilobytes();
        state.SetIterationTime(double(clock.nsecsElapsed()) / 1e9);
        state.counters["rss_before_MiB"] = double(before) / 1024;
        state.counters["rss_after_MiB"] = double(after) / 1024;
        state.counters["rss_growth_pct"] = before > 0 ? 100.0 * double(after - before) / double(before) : 0;
        // Then a pause of two seconds, as a person stops to read: the growth
        // that is left.
        QElapsedTimer rest;
        rest.start();
        while (rest.elapsed() < 2000)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 10);
        const qint64 rested = BenchProfile::residentKilobytes();
        state.counters["rss_paused_growth_pct"] = before > 0 ? 100.0 * double(rested - before) / double(before) : 0;
    }
}
BENCHMARK(BM_EditorTypingMemoryHugeNote)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
