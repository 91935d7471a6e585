#include "MountedVolume.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestMountedVolume : public QObject
{
    Q_OBJECT

private slots:
    void rootIsAMountPoint();
    void ordinaryFoldersAreNotVolumes_data();
    void ordinaryFoldersAreNotVolumes();
    void mediaFolderIsPerUser();
};

void TestMountedVolume::rootIsAMountPoint()
{
    const std::optional<VolumeSpace> space = MountedVolume::spaceAt(QStringLiteral("/"));
    QVERIFY(space);
    QVERIFY(space->totalBytes > 0);
    QVERIFY(space->availableBytes >= 0);
    QVERIFY(space->availableBytes <= space->totalBytes);
}

void TestMountedVolume::ordinaryFoldersAreNotVolumes_data()
{
    QTest::addColumn<QString>("relative");
    QTest::addColumn<bool>("isFile");

    QTest::newRow("folder inside a file system") << "Scratch" << false;
    QTest::newRow("nested folder") << "a/b/Scratch" << false;
    QTest::newRow("plain file") << "Scratch.img" << true;
    QTest::newRow("missing path") << "" << false;
}

void TestMountedVolume::ordinaryFoldersAreNotVolumes()
{
    QFETCH(QString, relative);
    QFETCH(bool, isFile);
    QTemporaryDir base;
    QString path = base.filePath(QStringLiteral("missing"));
    if (!relative.isEmpty()) {
        path = base.filePath(relative);
        if (isFile) {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
        } else {
            QVERIFY(QDir().mkpath(path));
        }
    }
    QVERIFY(!MountedVolume::spaceAt(path));
}

void TestMountedVolume::mediaFolderIsPerUser()
{
    const QString folder = MountedVolume::userMediaFolder();
    QVERIFY(folder.startsWith(QLatin1String("/media/")));
    QVERIFY(folder.size() > int(strlen("/media/")));
}

QTEST_GUILESS_MAIN(TestMountedVolume)
#include "tst_mountedvolume.moc"
