#include "ProcessLiveness.h"
#include "ProcessTable.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <limits>

namespace {

bool writeProcess(const QTemporaryDir &root, const QString &folder, const QByteArray &cmdline)
{
    QDir().mkpath(root.filePath(folder));
    QFile file(root.filePath(folder + QStringLiteral("/cmdline")));
    return file.open(QIODevice::WriteOnly) && file.write(cmdline) == cmdline.size();
}

} // namespace

class TestProcessTable : public QObject
{
    Q_OBJECT

private slots:
    void listsProcessesOfAFixedRoot_data();
    void listsProcessesOfAFixedRoot();
    void unreadableRootGivesNothing();
    void findsThisProcess();
    void liveness_data();
    void liveness();
    void exitedProcessIsNotAlive();
};

void TestProcessTable::listsProcessesOfAFixedRoot_data()
{
    QTest::addColumn<QString>("folder");
    QTest::addColumn<QByteArray>("cmdline");
    QTest::addColumn<QString>("expectedName");  // empty: not listed

    QTest::newRow("path and arguments") << "120" << QByteArray("/opt/suite/VeskMirrel\0--background\0", 32)
                                        << "VeskMirrel";
    QTest::newRow("bare program name") << "7" << QByteArray("veskhalvot\0", 11) << "veskhalvot";
    QTest::newRow("program name with spaces") << "8" << QByteArray("/opt/My Tool/My Tool\0", 21) << "My Tool";
    QTest::newRow("no terminating NUL") << "9" << QByteArray("/usr/bin/editor") << "editor";
    QTest::newRow("kernel thread without command line") << "2" << QByteArray() << "";
    QTest::newRow("not a process folder") << "sys" << QByteArray("/bin/sh\0", 8) << "";
    QTest::newRow("self link name") << "self" << QByteArray("/bin/sh\0", 8) << "";
    QTest::newRow("digits with a suffix") << "12a" << QByteArray("/bin/sh\0", 8) << "";
}

void TestProcessTable::listsProcessesOfAFixedRoot()
{
    QFETCH(QString, folder);
    QFETCH(QByteArray, cmdline);
    QFETCH(QString, expectedName);
    QTemporaryDir root;
    QVERIFY(writeProcess(root, folder, cmdline));
    // A neighbour that is always listed, so the order is checked too.
    QVERIFY(writeProcess(root, QStringLiteral("1000"), QByteArray("/bin/neighbour\0", 15)));

    const QList<RunningProcess> processes = ProcessTable::userProcesses(root.path());
    QList<RunningProcess> expected;
    if (!expectedName.isEmpty())
        expected.append({folder.toLongLong(), expectedName});
    expected.append({1000, QStringLiteral("neighbour")});
    QCOMPARE(processes, expected);
}

void TestProcessTable::unreadableRootGivesNothing()
{
    QVERIFY(ProcessTable::userProcesses(QStringLiteral("/nonexistent/proc")).isEmpty());
}

void TestProcessTable::findsThisProcess()
{
    const qint64 me = QCoreApplication::applicationPid();
    const QList<RunningProcess> processes = ProcessTable::userProcesses();
    const auto found = std::find_if(processes.cbegin(), processes.cend(),
                                    [&](const RunningProcess &p) { return p.pid == me; });
    QVERIFY(found != processes.cend());
    QCOMPARE(found->name, QFileInfo(QCoreApplication::applicationFilePath()).fileName());
    QVERIFY(std::is_sorted(processes.cbegin(), processes.cend(),
                           [](const RunningProcess &a, const RunningProcess &b) { return a.pid < b.pid; }));
}

void TestProcessTable::liveness_data()
{
    QTest::addColumn<qint64>("pid");
    QTest::addColumn<bool>("alive");

    QTest::newRow("this process") << QCoreApplication::applicationPid() << true;
    // init belongs to root: alive either directly or through EPERM.
    QTest::newRow("init") << qint64(1) << true;
    QTest::newRow("zero addresses the process group") << qint64(0) << false;
    QTest::newRow("negative addresses a group") << qint64(-1) << false;
    QTest::newRow("beyond the pid range") << qint64(std::numeric_limits<qint32>::max()) + 1 << false;
}

void TestProcessTable::liveness()
{
    QFETCH(qint64, pid);
    QTEST(ProcessLiveness::isAlive(pid), "alive");
}

void TestProcessTable::exitedProcessIsNotAlive()
{
    QProcess process;
    process.start(QStandardPaths::findExecutable(QStringLiteral("true")), {});
    QVERIFY(process.waitForStarted());
    const qint64 pid = process.processId();
    QVERIFY(process.waitForFinished());
    QVERIFY(!ProcessLiveness::isAlive(pid));
}

QTEST_GUILESS_MAIN(TestProcessTable)
#include "tst_processtable.moc"
