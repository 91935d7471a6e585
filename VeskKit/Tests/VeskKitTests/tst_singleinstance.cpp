#include "VeskKit/System/VeskSingleInstance.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QProcess>
#include <QSignalSpy>
#include <QSysInfo>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>

namespace {

// Exit codes of the helper mode, one per role.
constexpr int exitHandedOver = 0;
constexpr int exitPrimary = 2;
constexpr int exitFailed = 3;

const QString appId = QStringLiteral("com.quarnell.SingleInstanceTest");

// The test binary started again with --launch acts as a later launch of the
// application: it claims and exits with the code of its role.
int launchMode(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    VeskSingleInstance instance(appId);
    switch (instance.claim()) {
    case VeskSingleInstance::Role::handedOver:
        return exitHandedOver;
    case VeskSingleInstance::Role::primary:
        return exitPrimary;
    case VeskSingleInstance::Role::failed:
        return exitFailed;
    }
    return exitFailed;
}

} // namespace

class tst_SingleInstance : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void laterLaunchHandsOverAndExits_data();
    void laterLaunchHandsOverAndExits();
    void firstLaunchBecomesPrimary_data();
    void firstLaunchBecomesPrimary();
    void strangerAtTheSocketIsIgnored();
    void silentServerMeansFailure();
    void reopenRequestNeedsAListeningCopy_data();
    void reopenRequestNeedsAListeningCopy();

private:
    int launch();

    std::unique_ptr<QTemporaryDir> m_runtime;
    QByteArray m_savedRuntime;
};

void tst_SingleInstance::init()
{
    m_runtime = std::make_unique<QTemporaryDir>();
    QVERIFY(m_runtime->isValid());
    m_savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", m_runtime->path().toUtf8());
}

void tst_SingleInstance::cleanup()
{
    qputenv("XDG_RUNTIME_DIR", m_savedRuntime);
    m_runtime.reset();
}

int tst_SingleInstance::launch()
{
    // Started asynchronously: the primary in this process must keep its
    // event loop running to answer.
    QProcess process;
    process.start(QCoreApplication::applicationFilePath(), {"--launch"});
    if (!process.waitForStarted(5000))
        return -1;
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 15000))
        return -2;
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -3;
}

void tst_SingleInstance::laterLaunchHandsOverAndExits_data()
{
    QTest::addColumn<int>("launches");
    QTest::newRow("one later launch") << 1;
    QTest::newRow("three later launches") << 3;
}

void tst_SingleInstance::laterLaunchHandsOverAndExits()
{
    QFETCH(int, launches);

    VeskSingleInstance primary(appId);
    QCOMPARE(primary.claim(), VeskSingleInstance::Role::primary);
    QCOMPARE(primary.socketPath(), m_runtime->filePath(appId + ".instance"));
    QSignalSpy reopened(&primary, &VeskSingleInstance::reopenRequested);

    for (int i = 1; i <= launches; ++i) {
        QCOMPARE(launch(), exitHandedOver);
        QTRY_COMPARE(reopened.count(), i);
    }
}

void tst_SingleInstance::firstLaunchBecomesPrimary_data()
{
    QTest::addColumn<QString>("leftover");
    QTest::newRow("clean runtime folder") << "";
    QTest::newRow("socket file of a crashed copy") << "socket";
    QTest::newRow("stale lock file") << "lock";
    QTest::newRow("a copy that let go of it") << "released";
    QTest::newRow("a copy ending without an answer") << "ending";
}

void tst_SingleInstance::firstLaunchBecomesPrimary()
{
    QFETCH(QString, leftover);

    const QString path = m_runtime->filePath(appId + ".instance");
    if (leftover == QLatin1String("socket")) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
    } else if (leftover == QLatin1String("lock")) {
        QFile file(path + ".lock");
        QVERIFY(file.open(QIODevice::WriteOnly));
        // The lock of a process on this machine that no longer runs.
        file.write("999999\nveskzul\n" + QSysInfo::machineHostName().toUtf8() + "\n");
    }
    VeskSingleInstance earlier(appId);
    if (leftover == QLatin1String("released")) {
        QCOMPARE(earlier.claim(), VeskSingleInstance::Role::primary);
        earlier.release();
    }
    QLocalServer ending; // takes the launch's request, then goes away without a word
    QVERIFY(leftover != QLatin1String("ending") || ending.listen(path));
    connect(&ending, &QLocalServer::newConnection, this,
            [&ending] { QTimer::singleShot(200, &ending, [&ending] { ending.close(); }); });
    QCOMPARE(launch(), exitPrimary);

    // That copy has ended; the next claim is primary again.
    VeskSingleInstance instance(appId);
    QCOMPARE(instance.claim(), VeskSingleInstance::Role::primary);
}

void tst_SingleInstance::strangerAtTheSocketIsIgnored()
{
    VeskSingleInstance primary(appId);
    QCOMPARE(primary.claim(), VeskSingleInstance::Role::primary);
    QSignalSpy reopened(&primary, &VeskSingleInstance::reopenRequested);

    QLocalSocket stranger;
    stranger.connectToServer(primary.socketPath());
    QVERIFY(stranger.waitForConnected(2000));
    stranger.write("something else\n");
    QVERIFY(stranger.flush());
    QTRY_COMPARE(stranger.state(), QLocalSocket::UnconnectedState);
    QCOMPARE(reopened.count(), 0);

    // The primary still serves proper requests.
    QCOMPARE(launch(), exitHandedOver);
    QTRY_COMPARE(reopened.count(), 1);
}

void tst_SingleInstance::silentServerMeansFailure()
{
    // Something listens at the socket but never answers.
    QLocalServer silent;
    QVERIFY(silent.listen(m_runtime->filePath(appId + ".instance")));
    VeskSingleInstance instance(appId);
    QCOMPARE(instance.claim(500), VeskSingleInstance::Role::failed);
}

void tst_SingleInstance::reopenRequestNeedsAListeningCopy_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("listening");

    QTest::newRow("nobody listens") << appId << false;
    QTest::newRow("empty id") << QString() << true;
    // An id is a name, never a path, even one that would lead back to the
    // running copy's socket.
    QTest::newRow("id with a slash") << QStringLiteral("sub/../") + appId << true;
}

void tst_SingleInstance::reopenRequestNeedsAListeningCopy()
{
    QFETCH(QString, id);
    QFETCH(bool, listening);
    QVERIFY(QDir(m_runtime->path()).mkpath(QStringLiteral("sub")));
    VeskSingleInstance running(appId);
    if (listening)
        QCOMPARE(running.claim(500), VeskSingleInstance::Role::primary);
    QSignalSpy reopened(&running, &VeskSingleInstance::reopenRequested);
    QVERIFY(!VeskSingleInstance::requestReopen(id, 500));
    QTest::qWait(50);
    QCOMPARE(reopened.count(), 0);
}

int main(int argc, char** argv)
{
    if (argc > 1 && std::strcmp(argv[1], "--launch") == 0)
        return launchMode(argc, argv);
    QCoreApplication app(argc, argv);
    tst_SingleInstance test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_singleinstance.moc"
