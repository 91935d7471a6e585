#include "VeskKit/System/VeskProcessCancellation.h"
#include "VeskKit/System/VeskProcessRunner.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

using namespace std::chrono_literals;

namespace {

const QString shell = QStringLiteral("/bin/sh");

// The script runs as `sh -c script sh args...`, so args reach it as "$@"
// exactly as given: the shell is the tool under test's stand-in, never a
// layer the runner adds.
VeskProcessRunOutcome runScript(const QString& script, const QStringList& args = {},
                                bool captureFullStdout = false, VeskProcessCancellation* cancellation = nullptr,
                                const VeskProcessRunner::OutputCallback& onOutput = {},
                                std::optional<std::chrono::milliseconds> timeout = std::nullopt)
{
    return VeskProcessRunner::run(shell, QStringList{"-c", script, "sh"} + args, std::nullopt, std::nullopt,
                                  captureFullStdout, cancellation, onOutput, timeout);
}

bool isCancelled(const VeskProcessRunOutcome& outcome)
{
    if (outcome.ok())
        return false;
    const auto* error = std::get_if<VeskProcessError>(&outcome.error());
    return error && error->kind == VeskProcessError::Kind::cancelled;
}

// The pattern `yes 0123456789 | head -c size` writes.
QByteArray digitLines(int size)
{
    QByteArray bytes;
    while (bytes.size() < size)
        bytes += "0123456789\n";
    bytes.truncate(size);
    return bytes;
}

// Gone or a zombie waiting for its parent: either way no longer running.
bool isRunning(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = stat.readAll();
    const qsizetype close = text.lastIndexOf(')');
    return close >= 0 && text.size() > close + 2 && text.at(close + 2) != 'Z';
}

} // namespace

class tst_ProcessRunner : public QObject
{
    Q_OBJECT

private slots:
    void outputIsBounded_data();
    void outputIsBounded();
    void exitStatus_data();
    void exitStatus();
    void argumentsArriveIntact();
    void environment_data();
    void environment();
    void workingDirectory();
    void launchFailures_data();
    void launchFailures();
    void liveOutputReachesTheCallback();
    void invalidUtf8IsKeptButNotForwarded();

    void errorDescriptions_data();
    void errorDescriptions();

    void alreadyCancelledStartsNothing();
    void cancelStopsARunningTool_data();
    void cancelStopsARunningTool();
    void timeoutKillsAHangingToolAndItsChildren();
    void childKeepingThePipeOpenDoesNotHang();
};

void tst_ProcessRunner::outputIsBounded_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<bool>("captureFullStdout");
    QTest::addColumn<int>("written");
    QTest::addColumn<int>("keptStdout");
    QTest::addColumn<int>("keptStderr");

    const QString toOut = QStringLiteral("yes 0123456789 | head -c %1");
    const QString toErr = QStringLiteral("yes 0123456789 | head -c %1 >&2");
    QTest::newRow("100000 bytes keep the last 32768") << toOut.arg(100000) << false << 100000 << 32768 << 0;
    QTest::newRow("full capture keeps all 100000") << toOut.arg(100000) << true << 100000 << 100000 << 0;
    QTest::newRow("exactly the bound") << toOut.arg(32768) << false << 32768 << 32768 << 0;
    QTest::newRow("one byte over") << toOut.arg(32769) << false << 32769 << 32768 << 0;
    QTest::newRow("small output whole") << toOut.arg(10) << false << 10 << 10 << 0;
    QTest::newRow("stderr always cut") << toErr.arg(100000) << true << 100000 << 0 << 32768;
    QTest::newRow("two megabytes") << toOut.arg(2 * 1024 * 1024) << false << 2 * 1024 * 1024 << 32768 << 0;
}

void tst_ProcessRunner::outputIsBounded()
{
    QFETCH(QString, script);
    QFETCH(bool, captureFullStdout);
    QFETCH(int, written);
    QFETCH(int, keptStdout);
    QFETCH(int, keptStderr);

    const auto outcome = runScript(script, {}, captureFullStdout);
    QVERIFY(outcome.ok());
    const QByteArray full = digitLines(written);
    QCOMPARE(outcome.value().stdout.size(), keptStdout);
    QCOMPARE(outcome.value().stderr.size(), keptStderr);
    // Whatever is kept is the newest part of the stream.
    if (keptStdout)
        QVERIFY(outcome.value().stdout == full.right(keptStdout));
    if (keptStderr)
        QVERIFY(outcome.value().stderr == full.right(keptStderr));
}

void tst_ProcessRunner::exitStatus_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<int>("exitCode");

    QTest::newRow("success") << "exit 0" << 0;
    QTest::newRow("status 3 is no error") << "echo oops >&2; exit 3" << 3;
    QTest::newRow("status 255") << "exit 255" << 255;
    QTest::newRow("ended by a signal") << "kill -KILL $$" << 9;
}

void tst_ProcessRunner::exitStatus()
{
    QFETCH(QString, script);
    QFETCH(int, exitCode);

    const auto outcome = runScript(script);
    QVERIFY(outcome.ok());
    QCOMPARE(outcome.value().exitCode, exitCode);
}

void tst_ProcessRunner::argumentsArriveIntact()
{
    const QStringList arguments{"with space", "quote\"d", "it's", "$HOME", "", "back\\slash", "*", "; rm -rf x",
                                "ünïcödé", "line\nbreak", "--flag=1"};
    const auto outcome = runScript(QStringLiteral("for a in \"$@\"; do printf '%s\\0' \"$a\"; done"), arguments);
    QVERIFY(outcome.ok());

    QStringList received;
    const QByteArray& out = outcome.value().stdout;
    qsizetype start = 0;
    for (qsizetype i = 0; i < out.size(); ++i) {
        if (out.at(i) == '\0') {
            received.append(QString::fromUtf8(out.mid(start, i - start)));
            start = i + 1;
        }
    }
    QCOMPARE(received, arguments);
}

void tst_ProcessRunner::environment_data()
{
    QTest::addColumn<bool>("giveEnvironment");
    QTest::addColumn<QString>("expected");

    QTest::newRow("inherited unchanged") << false << "inherited|";
    QTest::newRow("given values laid over inherited") << true << "replaced|given";
}

void tst_ProcessRunner::environment()
{
    QFETCH(bool, giveEnvironment);
    QFETCH(QString, expected);

    qputenv("VESK_RUNNER_INHERITED", "inherited");
    qunsetenv("VESK_RUNNER_GIVEN");
    std::optional<QHash<QString, QString>> environment;
    if (giveEnvironment)
        environment = QHash<QString, QString>{{"VESK_RUNNER_INHERITED", "replaced"}, {"VESK_RUNNER_GIVEN", "given"}};
    const auto outcome = VeskProcessRunner::run(
        shell, {"-c", "printf '%s|%s|%s' \"$VESK_RUNNER_INHERITED\" \"$VESK_RUNNER_GIVEN\" \"$HOME\""},
        std::nullopt, environment);
    qunsetenv("VESK_RUNNER_INHERITED");
    QVERIFY(outcome.ok());
    // Variables nobody named (HOME here) always come through.
    QCOMPARE(outcome.value().stdoutString(), expected + u'|' + qEnvironmentVariable("HOME"));
}

void tst_ProcessRunner::workingDirectory()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const auto outcome = VeskProcessRunner::run(shell, {"-c", "pwd -P"}, dir.path());
    QVERIFY(outcome.ok());
    QCOMPARE(outcome.value().stdoutString().trimmed(), QDir(dir.path()).canonicalPath());
}

void tst_ProcessRunner::launchFailures_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<int>("errorNumber");

    QTest::newRow("missing file") << "missing" << ENOENT;
    QTest::newRow("not executable") << "plain" << EACCES;
    QTest::newRow("a directory") << "directory" << EACCES;
    QTest::newRow("missing working folder") << "badcwd" << ENOENT;
}

void tst_ProcessRunner::launchFailures()
{
    QFETCH(QString, setup);
    QFETCH(int, errorNumber);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QString program = dir.filePath("tool");
    std::optional<QString> cwd;
    if (setup == QLatin1String("plain")) {
        QFile file(program);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("#!/bin/sh\necho hi\n");
    } else if (setup == QLatin1String("directory")) {
        QVERIFY(QDir(dir.path()).mkdir("tool"));
    } else if (setup == QLatin1String("badcwd")) {
        program = shell;
        cwd = dir.filePath("nowhere");
    }

    const auto outcome = VeskProcessRunner::run(program, {"-c", "true"}, cwd);
    QVERIFY(!outcome.ok());
    const auto* error = std::get_if<std::error_code>(&outcome.error());
    QVERIFY(error);
    QCOMPARE(error->value(), errorNumber);
    QCOMPARE(error->category(), std::system_category());
}

void tst_ProcessRunner::liveOutputReachesTheCallback()
{
    QStringList chunks;
    std::mutex lock;
    const auto outcome = runScript(QStringLiteral("printf 'hello'; sleep 0.3; printf 'oops' >&2; sleep 0.3; printf 'bye'"),
                                   {}, false, nullptr, [&](const QString& text) {
                                       std::lock_guard guard(lock);
                                       chunks.append(text);
                                   });
    QVERIFY(outcome.ok());
    QCOMPARE(chunks, (QStringList{"hello", "oops", "bye"}));
    QCOMPARE(outcome.value().stdout, QByteArray("hellobye"));
    QCOMPARE(outcome.value().stderr, QByteArray("oops"));
}

void tst_ProcessRunner::invalidUtf8IsKeptButNotForwarded()
{
    QStringList chunks;
    const auto outcome = runScript(QStringLiteral("printf 'a\\377b'; sleep 0.3; printf '\\303\\251'"), {}, false,
                                   nullptr, [&](const QString& text) { chunks.append(text); });
    QVERIFY(outcome.ok());
    QCOMPARE(chunks, QStringList{QStringLiteral("é")});
    QCOMPARE(outcome.value().stdout, QByteArray("a\xff" "b\xc3\xa9"));
    QCOMPARE(outcome.value().stdoutString(), QStringLiteral("a\uFFFDbé"));
}

void tst_ProcessRunner::errorDescriptions_data()
{
    QTest::addColumn<VeskProcessError>("error");
    QTest::addColumn<QString>("english");
    QTest::addColumn<QString>("turkish");

    QTest::newRow("binary not found") << VeskProcessError::binaryNotFound("ffmpeg")
                                      << "Required executable 'ffmpeg' was not found."
                                      << "Gerekli 'ffmpeg' aracı bulunamadı.";
    QTest::newRow("non-zero exit with text") << VeskProcessError::nonZeroExit(2, "\n  disk full \n\t")
                                             << "disk full" << "disk full";
    QTest::newRow("non-zero exit, blank text") << VeskProcessError::nonZeroExit(3, " \n \n ")
                                               << "Process exited with code 3." << "Process exited with code 3.";
    QTest::newRow("negative code") << VeskProcessError::nonZeroExit(-1, QString())
                                   << "Process exited with code -1." << "Process exited with code -1.";
    QTest::newRow("cancelled") << VeskProcessError::cancelled() << "Operation cancelled." << "İşlem iptal edildi.";
}

void tst_ProcessRunner::errorDescriptions()
{
    QFETCH(VeskProcessError, error);
    QFETCH(QString, english);
    QFETCH(QString, turkish);

    QCOMPARE(error.errorDescription(VeskLanguage::en), english);
    QCOMPARE(error.errorDescription(VeskLanguage::tr), turkish);
}

void tst_ProcessRunner::alreadyCancelledStartsNothing()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString marker = dir.filePath("started");
    VeskProcessCancellation cancellation;
    cancellation.cancel();
    QVERIFY(cancellation.isCancelled());

    const auto outcome = runScript(QStringLiteral("touch \"$1\""), {marker}, false, &cancellation);
    QVERIFY(isCancelled(outcome));
    QVERIFY(!QFile::exists(marker));
    // It stays cancelled for every later run.
    QVERIFY(isCancelled(runScript(QStringLiteral("touch \"$1\""), {marker}, false, &cancellation)));
    QVERIFY(!QFile::exists(marker));
}

void tst_ProcessRunner::cancelStopsARunningTool_data()
{
    QTest::addColumn<QString>("script");
    QTest::newRow("sleeping tool") << "echo started; exec sleep 30";
    QTest::newRow("tool ignoring SIGTERM") << "trap '' TERM; echo started; sleep 30; sleep 30";
}

void tst_ProcessRunner::cancelStopsARunningTool()
{
    QFETCH(QString, script);

    VeskProcessCancellation cancellation;
    std::atomic<bool> started{false};
    std::thread canceller([&] {
        while (!started)
            std::this_thread::sleep_for(10ms);
        cancellation.cancel();
    });
    QElapsedTimer clock;
    clock.start();
    const auto outcome = runScript(script, {}, false, &cancellation, [&](const QString&) { started = true; });
    canceller.join();

    QVERIFY(isCancelled(outcome));
    // Well short of the 30 s the tool would take: it was stopped, or killed
    // after the grace period when it ignored the request.
    QVERIFY2(clock.elapsed() < 15000, QByteArray::number(clock.elapsed()).constData());
}

void tst_ProcessRunner::timeoutKillsAHangingToolAndItsChildren()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString pidFile = dir.filePath("child.pid");
    const auto outcome = runScript(QStringLiteral("sleep 30 & echo $! > \"$1\"; wait"), {pidFile}, false, nullptr,
                                   {}, 300ms);
    QVERIFY(isCancelled(outcome));

    QFile file(pidFile);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const qint64 childPid = file.readAll().trimmed().toLongLong();
    QVERIFY(childPid > 0);
    QTRY_VERIFY_WITH_TIMEOUT(!isRunning(childPid), 5000);
}

void tst_ProcessRunner::childKeepingThePipeOpenDoesNotHang()
{
    // The tool exits at once while a background child still holds its
    // standard output; the run ends with the tool, not with the child.
    QElapsedTimer clock;
    clock.start();
    const auto outcome = runScript(QStringLiteral("sleep 5 & echo done"));
    QVERIFY(outcome.ok());
    QCOMPARE(outcome.value().stdoutString(), QStringLiteral("done\n"));
    QVERIFY2(clock.elapsed() < 4000, QByteArray::number(clock.elapsed()).constData());
}

QTEST_GUILESS_MAIN(tst_ProcessRunner)
#include "tst_processrunner.moc"
