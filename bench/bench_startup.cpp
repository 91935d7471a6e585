// Cold start of the application to its first painted studio window, with
// collections of 1,000 to 50,000 notes on disk (profiles of 5 to 40 mixed
// lines): the time from launching the process to the end of the window's
// first paint, as a user waits for it, and the memory the process then
// holds. Also: a note of 3,000,000 lines, and quitting right after a key.
// Each run is a fresh process (VESKZUL_STARTUP_PROBE makes it report). Uses
// the X server in $DISPLAY, else starts a private Xvfb, else Qt's offscreen
// platform.
#include "BenchProfile.h"
#include "Services/ZulStorageService.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <memory>
#include <optional>
#include <signal.h>

namespace {

// VESK_BENCH_APP names another build of the application to time.
QString appExecutable()
{
    return qEnvironmentVariable("VESK_BENCH_APP", QStringLiteral(VESK_APP_EXECUTABLE));
}

struct Session {
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    std::unique_ptr<QProcess> xvfb;

    bool prepare(const QList<ZulNote> &notes, const char *probeMode, std::string &error)
    {
        const QDir root(home.path());
        for (const char *folder : {"data", "config", "cache", "runtime"})
            root.mkpath(QString::fromLatin1(folder));
        QFile::setPermissions(root.filePath("runtime"),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        environment.insert("HOME", home.path());
        environment.insert("XDG_DATA_HOME", root.filePath("data"));
        environment.insert("XDG_CONFIG_HOME", root.filePath("config"));
        environment.insert("XDG_CACHE_HOME", root.filePath("cache"));
        environment.insert("XDG_RUNTIME_DIR", root.filePath("runtime"));
        environment.insert("VESKZUL_STARTUP_PROBE", probeMode);
        environment.remove("QT_QPA_PLATFORM");

        const ZulStorageService storage(root.filePath("data/Quarnell/VeskZul"));
        if (!storage.saveNotes(notes)) {
            error = "could not write the notes";
            return false;
        }
        if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
            environment.insert("QT_QPA_PLATFORM", "xcb");
            return true;
        }
        const QString server = QStandardPaths::findExecutable("Xvfb");
        if (server.isEmpty()) {
            environment.insert("QT_QPA_PLATFORM", "offscreen");
            return true;
        }
        xvfb = std::make_unique<QProcess>();
        const QByteArray display = BenchProfile::startXvfb(server, *xvfb);
        if (display.isEmpty()) {
            error = "Xvfb did not start";
            return false;
        }
        environment.insert("DISPLAY", QString::fromLatin1(display));
        environment.insert("QT_QPA_PLATFORM", "xcb");
        return true;
    }

    ~Session()
    {
        if (xvfb) {
            xvfb->terminate();
            xvfb->waitForFinished(5000);
        }
    }
};

// The probe's first line: "first-paint <ms since start> <epoch ms> <KiB
// resident> <ms since start when first exposed>".
struct FirstPaint
{
    qint64 sinceStartMs = 0;
    qint64 epochMs = 0;
    qint64 residentKiB = 0;
    qint64 exposedMs = -1;
};

std::optional<FirstPaint> parseFirstPaint(const QByteArray &line)
{
    const QList<QByteArray> report = line.trimmed().split(' ');
    if (report.size() < 3 || report[0] != "first-paint")
        return std::nullopt;
    FirstPaint paint{report[1].toLongLong(), report[2].toLongLong(), 0, -1};
    if (report.size() >= 5) {
        paint.residentKiB = report[3].toLongLong();
        paint.exposedMs = report[4].toLongLong();
    }
    return paint;
}

void coldStartToFirstPaint(benchmark::State &state)
{
    Session session;
    std::string error;
    if (!session.prepare(BenchProfile::mixedCollection(int(state.range(0))), "1", error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    double inProcessTotal = 0;
    double residentTotal = 0;
    double blankTotal = 0;
    for (auto _ : state) {
        QProcess app;
        app.setProcessEnvironment(session.environment);
        const qint64 launched = QDateTime::currentMSecsSinceEpoch();
        app.start(appExecutable(), {});
        if (!app.waitForFinished(120000) || app.exitCode() != 0) {
            state.SkipWithError("the application did not report its first paint");
            break;
        }
        const std::optional<FirstPaint> paint = parseFirstPaint(app.readAllStandardOutput().split('\n').value(0));
        if (!paint) {
            state.SkipWithError("unexpected report from the application");
            break;
        }
        state.SetIterationTime(double(paint->epochMs - launched) / 1000.0);
        inProcessTotal += double(paint->sinceStartMs);
        residentTotal += double(paint->residentKiB) / 1024.0;
        // How long the window stood on the screen before its first frame.
        if (paint->exposedMs >= 0)
            blankTotal += double(paint->sinceStartMs - paint->exposedMs);
    }
    if (state.iterations() > 0) {
        state.counters["in_process_ms"] = inProcessTotal / double(state.iterations());
        state.counters["rss_MiB"] = residentTotal / double(state.iterations());
        state.counters["exposed_to_painted_ms"] = blankTotal / double(state.iterations());
    }
}
BENCHMARK(coldStartToFirstPaint)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(50000)
    ->UseManualTime()
    ->Iterations(5)
    ->Unit(benchmark::kMillisecond);

// Reads the probe's first line within `ms`, or nothing.
std::optional<FirstPaint> awaitFirstPaint(QProcess &app, int ms)
{
    QElapsedTimer limit;
    limit.start();
    app.waitForStarted(ms);
    while (!app.canReadLine() && limit.elapsed() < ms && app.state() == QProcess::Running)
        app.waitForReadyRead(100);
    if (!app.canReadLine())
        return std::nullopt;
    return parseFirstPaint(app.readLine());
}

// A note of 3,000,000 short lines (about 54 MB), the one the studio shows:
// the time to its first painted window, and the time from SIGTERM to the
// end of the process.
void hugeNoteStartThenTerminate(benchmark::State &state)
{
    QList<ZulNote> notes = BenchProfile::mixedCollection(20);
    notes[0].content = BenchProfile::manyLinesNote(3000000);
    Session session;
    std::string error;
    if (!session.prepare(notes, "stay", error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    double terminateTotal = 0;
    for (auto _ : state) {
        QProcess app;
        app.setProcessEnvironment(session.environment);
        const qint64 launched = QDateTime::currentMSecsSinceEpoch();
        app.start(appExecutable(), {});
        const std::optional<FirstPaint> paint = awaitFirstPaint(app, 30000);
        const qint64 asked = QDateTime::currentMSecsSinceEpoch();
        ::kill(pid_t(app.processId()), SIGTERM);
        const bool ended = app.waitForFinished(15000);
        const qint64 finished = QDateTime::currentMSecsSinceEpoch();
        if (!ended) {
            app.kill();
            app.waitForFinished(5000);
        }
        if (!paint) {
            state.SkipWithError("no window within 30 s");
            break;
        }
        if (!ended) {
            state.SkipWithError("still running 15 s after SIGTERM");
            break;
        }
        state.SetIterationTime(double(paint->epochMs - launched) / 1000.0);
        terminateTotal += double(finished - asked);
        state.counters["rss_MiB"] = double(paint->residentKiB) / 1024.0;
    }
    if (state.iterations() > 0)
        state.counters["sigterm_to_exit_ms"] = terminateTotal / double(state.iterations());
}
BENCHMARK(hugeNoteStartThenTerminate)->UseManualTime()->Iterations(2)->Unit(benchmark::kMillisecond);

// One key typed into the studio's note right after start, then quitting:
// the time from the quit to the end of the process (iteration time), and of
// it the part until the pending save was written (save_ms).
void quitRightAfterKey(benchmark::State &state)
{
    Session session;
    std::string error;
    if (!session.prepare(BenchProfile::mixedCollection(int(state.range(0))), "quit-after-key", error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    double saveTotal = 0;
    for (auto _ : state) {
        QProcess app;
        app.setProcessEnvironment(session.environment);
        app.start(appExecutable(), {});
        const bool ended = app.waitForFinished(120000);
        const qint64 finished = QDateTime::currentMSecsSinceEpoch();
        const QList<QByteArray> lines = app.readAllStandardOutput().split('\n');
        QList<QByteArray> quit;
        for (const QByteArray &line : lines) {
            if (line.startsWith("quit "))
                quit = line.trimmed().split(' ');
        }
        if (!ended || app.exitCode() != 0 || quit.size() != 3) {
            state.SkipWithError("the application did not report its quit");
            break;
        }
        state.SetIterationTime(double(finished - quit[1].toLongLong()) / 1000.0);
        saveTotal += double(quit[2].toLongLong() - quit[1].toLongLong());
    }
    if (state.iterations() > 0)
        state.counters["save_ms"] = saveTotal / double(state.iterations());
}
BENCHMARK(quitRightAfterKey)->Arg(10000)->Arg(50000)->UseManualTime()->Iterations(5)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
