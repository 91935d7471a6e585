// Cold start of the application to its first painted studio window, with a
// collection of 1,000 notes on disk: the time from launching the process to
// the end of the window's first paint, as a user waits for it. Each run is a
// fresh process (VESKZUL_STARTUP_PROBE makes it report and quit). Uses the X
// server in $DISPLAY, else starts a private Xvfb, else Qt's offscreen platform.
#include "Services/ZulStorageService.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <memory>

namespace {

constexpr int kNoteCount = 1000;

QList<ZulNote> collection()
{
    const QStringList lines = {
        QStringLiteral("rent = 1200"),          QStringLiteral("utilities = 240"),
        QStringLiteral("rent + utilities"),     QStringLiteral("15% of 300"),
        QStringLiteral("100 USD to TRY"),       QStringLiteral("- [x] pay the rent"),
        QStringLiteral("- [ ] file the taxes"), QStringLiteral("Notes about the week ahead"),
    };
    QList<ZulNote> notes;
    notes.reserve(kNoteCount);
    // Recent, so nothing is old enough to be tidied away between runs.
    const QDateTime when = QDateTime::currentDateTimeUtc().addSecs(-3600);
    for (int i = 0; i < kNoteCount; ++i) {
        QString content = QStringLiteral("# Budget %1\n").arg(i) + lines.join(QLatin1Char('\n'));
        notes.append(ZulNote(QUuid::createUuid(), QStringLiteral("Note %1").arg(i), content,
                             ZulNoteTintAllCases().at(size_t(i % 6)), i % 25 == 0, false, false, std::nullopt,
                             {QStringLiteral("tag%1").arg(i % 7)}, when, when.addSecs(i)));
    }
    return notes;
}

struct Session {
    QTemporaryDir home;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    std::unique_ptr<QProcess> xvfb;

    bool prepare(std::string &error)
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
        environment.insert("VESKZUL_STARTUP_PROBE", "1");
        environment.remove("QT_QPA_PLATFORM");

        const ZulStorageService storage(root.filePath("data/Quarnell/VeskZul"));
        if (!storage.saveNotes(collection())) {
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
        xvfb->start(server, {"-displayfd", "1", "-screen", "0", "1400x900x24", "-nolisten", "tcp"});
        if (!xvfb->waitForStarted(10000) || !xvfb->waitForReadyRead(20000)) {
            error = "Xvfb did not start";
            return false;
        }
        const QByteArray display = xvfb->readAllStandardOutput().trimmed();
        environment.insert("DISPLAY", QStringLiteral(":") + QString::fromLatin1(display));
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

void coldStartToFirstPaint(benchmark::State &state)
{
    Session session;
    std::string error;
    if (!session.prepare(error)) {
        state.SkipWithError(error.c_str());
        return;
    }
    double inProcessTotal = 0;
    for (auto _ : state) {
        QProcess app;
        app.setProcessEnvironment(session.environment);
        const qint64 launched = QDateTime::currentMSecsSinceEpoch();
        app.start(QStringLiteral(VESK_APP_EXECUTABLE), {});
        if (!app.waitForFinished(60000) || app.exitCode() != 0) {
            state.SkipWithError("the application did not report its first paint");
            break;
        }
        const QList<QByteArray> report = app.readAllStandardOutput().trimmed().split(' ');
        if (report.size() != 3 || report[0] != "first-paint") {
            state.SkipWithError("unexpected report from the application");
            break;
        }
        state.SetIterationTime(double(report[2].toLongLong() - launched) / 1000.0);
        inProcessTotal += report[1].toDouble();
    }
    if (state.iterations() > 0)
        state.counters["in_process_ms"] = inProcessTotal / double(state.iterations());
}
BENCHMARK(coldStartToFirstPaint)->UseManualTime()->Iterations(10)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
