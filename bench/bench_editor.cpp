// The editor as a person feels it: one key typed into a note, from the key
// event to the repainted result column (text view, view model, evaluation
// and both side columns included), and one scroll step through a very long
// note (only the rows on screen may be laid out and painted), and the key
// again in the whole studio window while the sidebar searches a large
// collection. Each key and each step is timed on its own; the median is
// reported as median_ms.
#include "ViewModels/ZulStudioViewModel.h"
#include "Views/ComputationalEditorView.h"
#include "Views/MainZulStudioView.h"
#include "Views/ZulNoteListModel.h"
#include "Views/ZulSidebarView.h"
#include "Views/SynchronizedComputationalTextView.h"
#include "Views/ZulResultGutter.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QThread>

#include <algorithm>
#include <memory>
#include <vector>

namespace {

QApplication *application()
{
    static int argc = 1;
    static char name[] = "bench_editor";
    static char *argv[] = {name, nullptr};
    static QTemporaryDir home;
    static QApplication *app = [] {
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
    const QStringList lines = {
        QStringLiteral("# Project costs"),
        QStringLiteral("design = 1200"),
        QStringLiteral("build = 3400.5"),
        QStringLiteral("design + build"),
        QStringLiteral("hosting: 12 * 45"),
        QStringLiteral("- [ ] send the invoice to the client"),
        QStringLiteral("- [x] agree on the budget"),
        QStringLiteral("20% of 3400"),
        QStringLiteral("Notes about the meeting with a few words of plain prose in them."),
        QStringLiteral("sum"),
        QString(),
    };
    QString text;
    for (qsizetype i = 0; text.size() < size; ++i)
        text += lines[i % lines.size()] + QLatin1Char('\n');
    text.truncate(size);
    return text;
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
// median goes to median_ms.
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
    settle();
    auto *editor = qobject_cast<ComputationalEditorView *>(studio.editor());
    SynchronizedComputationalTextView *text = editor->textView();
    text->moveCursor(QTextCursor::End);
    text->setFocus();
    settle();

    typeAndTime(state, text, editor->resultGutter());
    state.counters["listed"] = double(studio.sidebar()->noteListModel()->rowCount());
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

} // namespace

BENCHMARK_MAIN();
