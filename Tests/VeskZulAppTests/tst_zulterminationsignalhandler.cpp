#include "App/ZulTerminationSignalHandler.h"

#include "Services/ZulStorageService.h"
#include "VeskKit/System/VeskGlobalHotkeyManager.h"
#include "ViewModels/ZulStudioViewModel.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <cstdio>
#include <cstdlib>

namespace {

const char kChildFolderVariable[] = "VESK_TERMINATION_CHILD_FOLDER";
const char kChildSignalVariable[] = "VESK_TERMINATION_CHILD_SIGNAL";
const char kTypedText[] = "typed a moment before the end";

// The child: types into its first note and is told to terminate (by the
// signal the parent names) while that edit's save is still waiting for its
// pause.
int runChild(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    ZulTerminationSignalHandler handler;
    if (!handler.isInstalled())
        return 3;
    ZulStudioEnvironment environment;
    environment.makeHotkeyManager = [] { return std::unique_ptr<VeskGlobalHotkeyManager>(); };
    ZulStudioViewModel viewModel(ZulStorageService(qEnvironmentVariable(kChildFolderVariable)), environment);
    if (viewModel.notes().isEmpty())
        return 4;
    viewModel.updateNoteContent(viewModel.notes().first().id, QString::fromUtf8(kTypedText));
    std::raise(qEnvironmentVariableIntValue(kChildSignalVariable));
    // Ends without running destructors, as an application that never
    // releases its view model does: only the quit path may write the edit.
    std::_Exit(application.exec());
}

} // namespace

class TestZulTerminationSignalHandler : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void signalBecomesQuitRequest_data();
    void signalBecomesQuitRequest();
    void restoresPreviousHandlingWhenGone();
    void oneInstanceAtATime();
    void hangUpIgnoredAtStartStaysIgnored();
    void terminationWritesThePendingSave_data();
    void terminationWritesThePendingSave();

private:
    QTemporaryDir m_home;
};

void TestZulTerminationSignalHandler::initTestCase()
{
    QVERIFY(m_home.isValid());
    // A run under nohup must not hide whether hang-ups are handled (the
    // children inherit this too).
    std::signal(SIGHUP, SIG_DFL);
    qputenv("XDG_DATA_HOME", QDir(m_home.path()).filePath(QStringLiteral("data")).toUtf8());
    qputenv("XDG_CONFIG_HOME", QDir(m_home.path()).filePath(QStringLiteral("config")).toUtf8());
}

void TestZulTerminationSignalHandler::signalBecomesQuitRequest_data()
{
    QTest::addColumn<int>("signalNumber");
    QTest::newRow("SIGTERM") << int(SIGTERM);
    QTest::newRow("SIGINT") << int(SIGINT);
    QTest::newRow("SIGHUP") << int(SIGHUP);
    QTest::newRow("SIGQUIT") << int(SIGQUIT);
}

void TestZulTerminationSignalHandler::signalBecomesQuitRequest()
{
    QFETCH(int, signalNumber);
    QList<int> received;
    ZulTerminationSignalHandler handler([&received](int number) { received.append(number); }, nullptr);
    QVERIFY(handler.isInstalled());
    QCOMPARE(std::raise(signalNumber), 0);
    // The handler itself only writes to the pipe; the action runs from the event loop.
    QVERIFY(received.isEmpty());
    QTRY_COMPARE(received, QList<int>{signalNumber});
}

void TestZulTerminationSignalHandler::restoresPreviousHandlingWhenGone()
{
    struct sigaction before {};
    QCOMPARE(::sigaction(SIGTERM, nullptr, &before), 0);
    {
        ZulTerminationSignalHandler handler([](int) {}, nullptr);
        QVERIFY(handler.isInstalled());
        struct sigaction during {};
        QCOMPARE(::sigaction(SIGTERM, nullptr, &during), 0);
        QVERIFY(during.sa_handler != before.sa_handler);
    }
    struct sigaction after {};
    QCOMPARE(::sigaction(SIGTERM, nullptr, &after), 0);
    QVERIFY(after.sa_handler == before.sa_handler);
}

void TestZulTerminationSignalHandler::oneInstanceAtATime()
{
    ZulTerminationSignalHandler first([](int) {}, nullptr);
    ZulTerminationSignalHandler second([](int) {}, nullptr);
    QVERIFY(first.isInstalled());
    QVERIFY(!second.isInstalled());
}

void TestZulTerminationSignalHandler::hangUpIgnoredAtStartStaysIgnored()
{
    std::signal(SIGHUP, SIG_IGN);
    const auto restore = qScopeGuard([] { std::signal(SIGHUP, SIG_DFL); });
    {
        ZulTerminationSignalHandler handler([](int) {}, nullptr);
        QVERIFY(handler.isInstalled());
        struct sigaction during {};
        QVERIFY(::sigaction(SIGHUP, nullptr, &during) == 0 && during.sa_handler == SIG_IGN);
    }
    struct sigaction after {};
    QVERIFY(::sigaction(SIGHUP, nullptr, &after) == 0 && after.sa_handler == SIG_IGN);
}

void TestZulTerminationSignalHandler::terminationWritesThePendingSave_data()
{
    signalBecomesQuitRequest_data();
}

void TestZulTerminationSignalHandler::terminationWritesThePendingSave()
{
    QFETCH(int, signalNumber);
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(kChildFolderVariable), folder.path());
    environment.insert(QString::fromLatin1(kChildSignalVariable), QString::number(signalNumber));
    child.setProcessEnvironment(environment);
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForFinished(60000));
    QCOMPARE(child.exitStatus(), QProcess::NormalExit);
    QCOMPARE(child.exitCode(), 0);

    const QList<ZulNote> saved = ZulStorageService(folder.path()).loadNotes();
    QVERIFY(!saved.isEmpty());
    bool found = false;
    for (const ZulNote &note : saved)
        found = found || note.content == QString::fromUtf8(kTypedText);
    QVERIFY2(found, qPrintable(QStringLiteral("the edit made just before signal %1 was not written").arg(signalNumber)));
}

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsSet(kChildFolderVariable))
        return runChild(argc, argv);
    QCoreApplication application(argc, argv);
    TestZulTerminationSignalHandler test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_zulterminationsignalhandler.moc"
