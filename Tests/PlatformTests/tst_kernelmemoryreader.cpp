#include "KernelMemoryReader.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// A fixed /proc and /sys below a temporary root. Each file is written only
// when its text is not empty.
struct KernelFiles {
    QByteArray meminfo;
    QByteArray swaps;
    QByteArray pressure;
    // "dm-0=CRYPT-LUKS2-..." lines: the uuid file of each device-mapper node.
    QByteArray dmUuids;
    // "name=target" lines: /dev/mapper links.
    QByteArray mapperLinks;
};

bool write(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

bool populate(const QTemporaryDir &root, const KernelFiles &files)
{
    const auto at = [&](const QString &relative) { return root.filePath(relative); };
    if (!files.meminfo.isEmpty() && !write(at("proc/meminfo"), files.meminfo))
        return false;
    if (!files.swaps.isEmpty() && !write(at("proc/swaps"), files.swaps))
        return false;
    if (!files.pressure.isEmpty() && !write(at("proc/pressure/memory"), files.pressure))
        return false;
    for (const QByteArray &line : files.dmUuids.split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0 && !write(at("sys/block/" + QString::fromLatin1(line.left(eq)) + "/dm/uuid"), line.mid(eq + 1) + '\n'))
            return false;
    }
    for (const QByteArray &line : files.mapperLinks.split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        QDir().mkpath(at("dev/mapper"));
        if (!QFile::link(QString::fromLatin1(line.mid(eq + 1)), at("dev/mapper/" + QString::fromLatin1(line.left(eq)))))
            return false;
    }
    return true;
}

const QByteArray typicalMeminfo = "MemTotal:       16000000 kB\n"
                                  "MemFree:         2000000 kB\n"
                                  "MemAvailable:    9000000 kB\n"
                                  "AnonPages:       5000000 kB\n"
                                  "Shmem:            400000 kB\n"
                                  "KernelStack:       20000 kB\n"
                                  "PageTables:        80000 kB\n"
                                  "SUnreclaim:       300000 kB\n"
                                  "Zswap:            100000 kB\n"
                                  "SwapTotal:       8000000 kB\n"
                                  "SwapFree:        6000000 kB\n"
                                  "HugePages_Total:       0\n";

const QByteArray swapsHeader = "Filename\t\t\t\tType\t\tSize\t\tUsed\t\tPriority\n";

} // namespace

class TestKernelMemoryReader : public QObject
{
    Q_OBJECT

private slots:
    void memoryFigures_data();
    void memoryFigures();
    void missingMeminfoFallsBack();
    void swapEncryption_data();
    void swapEncryption();
    void pressureLevels_data();
    void pressureLevels();
    void readsTheRunningSystem();
};

void TestKernelMemoryReader::memoryFigures_data()
{
    QTest::addColumn<QByteArray>("meminfo");
    QTest::addColumn<qint64>("installed");
    QTest::addColumn<bool>("hasUsage");
    QTest::addColumn<qint64>("used");
    QTest::addColumn<qint64>("compressed");
    QTest::addColumn<bool>("hasSwap");
    QTest::addColumn<qint64>("swapTotal");
    QTest::addColumn<qint64>("swapUsed");

    const qint64 k = 1024;
    QTest::newRow("application, kernel and compressed memory")
        << typicalMeminfo << 16000000 * k << true << (5000000 + 20000 + 80000 + 300000 + 100000) * k << 100000 * k
        << true << 8000000 * k << 2000000 * k;
    QTest::newRow("no compressed pool line")
        << QByteArray("MemTotal: 1000 kB\nAnonPages: 300 kB\nKernelStack: 10 kB\nSwapTotal: 0 kB\nSwapFree: 0 kB\n")
        << 1000 * k << true << 310 * k << 0LL << true << 0LL << 0LL;
    QTest::newRow("use above the installed memory is capped")
        << QByteArray("MemTotal: 1000 kB\nAnonPages: 900 kB\nSUnreclaim: 300 kB\n") << 1000 * k << true << 1000 * k
        << 0LL << false << 0LL << 0LL;
    QTest::newRow("free swap above total counts as nothing used")
        << QByteArray("MemTotal: 1000 kB\nAnonPages: 1 kB\nSwapTotal: 100 kB\nSwapFree: 150 kB\n") << 1000 * k << true
        << 1 * k << 0LL << true << 100 * k << 0LL;
    QTest::newRow("values without unit are bytes")
        << QByteArray("MemTotal: 4096\nAnonPages: 1024\n") << 4096LL << true << 1024LL << 0LL << false << 0LL << 0LL;
    QTest::newRow("garbage values are ignored")
        << QByteArray("MemTotal: 2000 kB\nAnonPages: lots kB\nSwapTotal: -5 kB\nSwapFree: 1 kB\n") << 2000 * k
        << false << 0LL << 0LL << false << 0LL << 0LL;
    QTest::newRow("overflowing value is ignored")
        << QByteArray("MemTotal: 2000 kB\nAnonPages: 99999999999999999 kB\n") << 2000 * k << false << 0LL << 0LL
        << false << 0LL << 0LL;
}

void TestKernelMemoryReader::memoryFigures()
{
    QFETCH(QByteArray, meminfo);
    QTemporaryDir root;
    QVERIFY(populate(root, {meminfo, {}, {}, {}, {}}));

    const KernelMemoryFigures figures = KernelMemoryReader::read(root.path());
    QTEST(figures.installedBytes, "installed");
    QTEST(figures.usage.has_value(), "hasUsage");
    if (figures.usage) {
        QTEST(figures.usage->usedBytes, "used");
        QTEST(figures.usage->compressedBytes, "compressed");
    }
    QTEST(figures.swap.has_value(), "hasSwap");
    if (figures.swap) {
        QTEST(figures.swap->totalBytes, "swapTotal");
        QTEST(figures.swap->usedBytes, "swapUsed");
    }
}

void TestKernelMemoryReader::missingMeminfoFallsBack()
{
    QTemporaryDir root;
    const KernelMemoryFigures figures = KernelMemoryReader::read(root.path());
    // Installed memory then comes from sysinfo(2), which always answers.
    QVERIFY(figures.installedBytes > 0);
    QVERIFY(!figures.usage);
    QVERIFY(!figures.swap);
    QVERIFY(!figures.pressureLevel);
}

void TestKernelMemoryReader::swapEncryption_data()
{
    QTest::addColumn<QByteArray>("swaps");
    QTest::addColumn<QByteArray>("dmUuids");
    QTest::addColumn<QByteArray>("mapperLinks");
    QTest::addColumn<bool>("encrypted");

    QTest::newRow("no swap areas") << swapsHeader << QByteArray() << QByteArray() << false;
    QTest::newRow("plain partition") << swapsHeader + "/dev/sda2 partition 8000000 0 -2\n" << QByteArray()
                                     << QByteArray() << false;
    QTest::newRow("dm-crypt device") << swapsHeader + "/dev/dm-1 partition 8000000 0 -2\n"
                                     << QByteArray("dm-1=CRYPT-PLAIN-cryptswap") << QByteArray() << true;
    QTest::newRow("device-mapper volume that is not encrypted")
        << swapsHeader + "/dev/dm-0 partition 8000000 0 -2\n" << QByteArray("dm-0=LVM-abcdef") << QByteArray()
        << false;
    QTest::newRow("named through /dev/mapper") << swapsHeader + "/dev/mapper/cryptswap partition 8000000 0 -2\n"
                                               << QByteArray("dm-3=CRYPT-LUKS2-0123-cryptswap")
                                               << QByteArray("cryptswap=../dm-3") << true;
    QTest::newRow("one encrypted area and one plain file")
        << swapsHeader + "/dev/dm-1 partition 8000000 0 -2\n/swapfile file 1000 0 -3\n"
        << QByteArray("dm-1=CRYPT-PLAIN-x") << QByteArray() << false;
    QTest::newRow("missing uuid file") << swapsHeader + "/dev/dm-9 partition 8000000 0 -2\n" << QByteArray()
                                       << QByteArray() << false;
}

void TestKernelMemoryReader::swapEncryption()
{
    QFETCH(QByteArray, swaps);
    QFETCH(QByteArray, dmUuids);
    QFETCH(QByteArray, mapperLinks);
    QTemporaryDir root;
    QVERIFY(populate(root, {typicalMeminfo, swaps, {}, dmUuids, mapperLinks}));

    const KernelMemoryFigures figures = KernelMemoryReader::read(root.path());
    QVERIFY(figures.swap);
    QTEST(figures.swap->encrypted, "encrypted");
}

void TestKernelMemoryReader::pressureLevels_data()
{
    QTest::addColumn<QByteArray>("pressure");
    QTest::addColumn<int>("level");  // 0: nothing

    QTest::newRow("calm") << QByteArray("some avg10=0.00 avg60=0.00 avg300=0.00 total=0\n"
                                        "full avg10=0.00 avg60=0.00 avg300=0.00 total=0\n")
                          << 1;
    QTest::newRow("some tasks stalled just below the mark")
        << QByteArray("some avg10=9.99 avg60=1.00 avg300=0.00 total=10\nfull avg10=0.50 avg60=0 avg300=0 total=1\n")
        << 1;
    QTest::newRow("some tasks stalled a tenth of the time")
        << QByteArray("some avg10=10.00 avg60=1.00 avg300=0.00 total=10\nfull avg10=2.00 avg60=0 avg300=0 total=1\n")
        << 2;
    QTest::newRow("all tasks stalled a tenth of the time")
        << QByteArray("some avg10=40.00 avg60=1.00 avg300=0.00 total=10\nfull avg10=10.00 avg60=0 avg300=0 total=1\n")
        << 4;
    QTest::newRow("only the some line") << QByteArray("some avg10=12.5 avg60=0 avg300=0 total=0\n") << 2;
    QTest::newRow("no pressure file") << QByteArray() << 0;
    QTest::newRow("unreadable figures") << QByteArray("some avg10=high\nfull total=3\n") << 0;
}

void TestKernelMemoryReader::pressureLevels()
{
    QFETCH(QByteArray, pressure);
    QFETCH(int, level);
    QTemporaryDir root;
    QVERIFY(populate(root, {typicalMeminfo, {}, pressure, {}, {}}));

    const KernelMemoryFigures figures = KernelMemoryReader::read(root.path());
    QCOMPARE(figures.pressureLevel.value_or(0), level);
}

void TestKernelMemoryReader::readsTheRunningSystem()
{
    const KernelMemoryFigures figures = KernelMemoryReader::read();
    QVERIFY(figures.installedBytes > 0);
    QVERIFY(figures.usage);
    QVERIFY(figures.usage->usedBytes > 0);
    QVERIFY(figures.usage->usedBytes <= figures.installedBytes);
    QVERIFY(figures.swap);
    QVERIFY(figures.swap->usedBytes <= figures.swap->totalBytes);
}

QTEST_GUILESS_MAIN(TestKernelMemoryReader)
#include "tst_kernelmemoryreader.moc"
