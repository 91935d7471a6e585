#include "SharedFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <unistd.h>

namespace {

QByteArray readBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The system's own steps, each noted as it runs.
SharedFile::ReplaceSteps recording(QStringList &log)
{
    const SharedFile::ReplaceSteps system = SharedFile::ReplaceSteps::system();
    SharedFile::ReplaceSteps steps;
    steps.write = [&log, system](int fd, QByteArrayView bytes) { return log << "write", system.write(fd, bytes); };
    steps.syncFile = [&log, system](int fd) { return log << "sync file", system.syncFile(fd); };
    steps.rename = [&log, system](const QByteArray &from, const QByteArray &to) {
        return log << "rename", system.rename(from, to);
    };
    steps.syncFolder = [&log, system](const QString &folder) {
        log << "sync folder " + QDir(folder).dirName();
        system.syncFolder(folder);
    };
    return steps;
}

} // namespace

class TestSharedFile : public QObject
{
    Q_OBJECT

private slots:
    void replaceIsFlushedBeforeAndAfterTheRename_data();
    void replaceIsFlushedBeforeAndAfterTheRename();
};

void TestSharedFile::replaceIsFlushedBeforeAndAfterTheRename_data()
{
    QTest::addColumn<QString>("link");  // what data/file.json is a link to, if anything
    QTest::addColumn<bool>("existing");
    QTest::newRow("over an older file") << "" << true;
    QTest::newRow("where there was none") << "" << false;
    QTest::newRow("through a relative link") << "../synced/file.json" << true;
    QTest::newRow("through a link to a link") << "hop" << true;
    QTest::newRow("through a link to a file not there yet") << "../synced/file.json" << false;
}

void TestSharedFile::replaceIsFlushedBeforeAndAfterTheRename()
{
    QFETCH(QString, link);
    QFETCH(bool, existing);
    QTemporaryDir dir;
    QVERIFY(QDir().mkpath(dir.filePath("data")) && QDir().mkpath(dir.filePath("synced")));
    const QString path = dir.filePath("data/file.json");
    const QString target = link.isEmpty() ? path : dir.filePath("synced/file.json");
    QVERIFY(::symlink("../synced/file.json", QFile::encodeName(dir.filePath("data/hop")).constData()) == 0);
    if (!link.isEmpty())
        QVERIFY(QFile::link(link, path));
    if (existing) {
        QFile old(target);
        QVERIFY(old.open(QIODevice::WriteOnly) && old.write("old") == 3);
    }
    QStringList log;
    const SharedFile::Replaced replaced = SharedFile::replaceWhole(path, "new bytes", recording(log));
    QVERIFY2(replaced.failure.isEmpty(), qPrintable(replaced.failure));
    // The data reaches the disk before the name points at it, and the name
    // itself after; through a link, in the folder the link leads to.
    QCOMPARE(log, QStringList({"write", "sync file", "rename", link.isEmpty() ? "sync folder data" : "sync folder synced"}));
    QCOMPARE(readBytes(target), QByteArray("new bytes"));
    QCOMPARE(QFileInfo(path).isSymLink(), !link.isEmpty());
    QCOMPARE(QDir(dir.filePath("synced")).entryList(QDir::Files | QDir::Hidden),
             link.isEmpty() ? QStringList() : QStringList({"file.json"}));
}

QTEST_GUILESS_MAIN(TestSharedFile)

#include "tst_sharedfile.moc"
