#include "helper_suitetestenvironment.h"

#include "VeskKit/System/VeskSuiteJson.h"
#include "VeskKit/System/VeskSuiteTelemetryBus.h"
#include "VeskKit/System/VeskVirtualMemorySummary.h"

#include <QCoreApplication>
#include <QHash>
#include <QtTest>

#include <limits>

namespace {

QDateTime now()
{
    return *VeskSuiteJson::parseTimestamp(QStringLiteral("2024-05-01T10:20:30Z"));
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

VeskVirtualMemorySummary summaryWith(qint64 swapTotal, qint64 swapUsed, qint64 pools, qint64 poolVirtual,
                                     qint64 poolActual, qint64 sparse, qint64 sparseVirtual, qint64 sparseActual,
                                     qint64 ramDisks, qint64 ramDiskBytes)
{
    VeskVirtualMemorySummary s;
    s.swapTotalBytes = swapTotal;
    s.swapUsedBytes = swapUsed;
    s.activeDiskPoolCount = pools;
    s.diskPoolVirtualBytes = poolVirtual;
    s.diskPoolActualDiskBytes = poolActual;
    s.mountedSparseDiskCount = sparse;
    s.sparseDiskVirtualBytes = sparseVirtual;
    s.sparseDiskActualBytes = sparseActual;
    s.mountedRAMDiskCount = ramDisks;
    s.ramDiskTotalBytes = ramDiskBytes;
    return s;
}

// 16 GB installed, 4 GiB anonymous memory, swap 8000000 kB with 2000000 kB
// in use, some tasks stalled on memory.
const QByteArray meminfo = "MemTotal: 16000000 kB\nAnonPages: 4000000 kB\nKernelStack: 0 kB\nZswap: 1000 kB\n"
                           "SwapTotal: 8000000 kB\nSwapFree: 6000000 kB\n";
const QByteArray pressure = "some avg10=15.00 avg60=0 avg300=0 total=0\nfull avg10=0.00 avg60=0 avg300=0 total=0\n";

VeskMirrelLiveStatus mirrelStatus(double ageSeconds)
{
    VeskMirrelLiveStatus status;
    status.timestamp = now().addMSecs(qint64(-ageSeconds * 1000));
    status.senderPID = qint32(QCoreApplication::applicationPid());
    status.physicalTotalBytes = 32000000000;
    status.physicalUsedBytes = 20000000000;
    status.compressedBytes = 3000000000;
    status.usedPercent = 62.5;
    status.swapTotalBytes = 1000;
    status.swapUsedBytes = 9000000000;
    status.swapFileCount = 3;
    status.swapEncrypted = false;
    status.pressureLevel = QStringLiteral("elevated");
    status.healthScore = 70;
    status.activeDiskPoolCount = 1;
    status.diskPoolVirtualBytes = 10000000000;
    status.diskPoolActualDiskBytes = 1000000000;
    status.diskPoolNames = {"pool"};
    status.mountedSparseDiskCount = 2;
    status.sparseDiskVirtualBytes = 40000000000;
    status.sparseDiskActualBytes = 2000000000;
    status.sparseDiskNames = {"x", "y"};
    status.mountedRAMDiskCount = 1;
    status.ramDiskTotalBytes = 2000000000;
    status.ramDiskNames = {"ram"};
    status.frozenAppCount = 2;
    status.frozenPIDs = {501, 502};
    status.reclaimedFromFrozenBytes = 700000000;
    return status;
}

} // namespace

class TestVirtualMemorySummary : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void compactToken_data();
    void compactToken();
    void badgeText_data();
    void badgeText();
    void sumsAndPercentages();
    void kernelFiguresWithoutTheMemoryTool();
    void unreadableKernelFilesFallBack();
    void memoryToolStatusAge_data();
    void memoryToolStatusAge();
    void memoryToolFiguresWinOnlyWhenLarger();
    void sparseDiskScan();
    void unusableCustomPoolSettings_data();
    void unusableCustomPoolSettings();

private:
    VeskSuiteTelemetryBus makeBus();
    void addBundle(const QString &folder, const QString &name);

    std::unique_ptr<QTemporaryDir> m_home;
    QHash<QString, VolumeSpace> m_volumes;
};

void TestVirtualMemorySummary::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    useTemporaryXdgFolders(*m_home);
    m_volumes.clear();
    QVERIFY(writeFile(m_home->filePath("root/proc/meminfo"), meminfo));
    QVERIFY(writeFile(m_home->filePath("root/proc/pressure/memory"), pressure));
}

void TestVirtualMemorySummary::cleanup()
{
    m_home.reset();
}

VeskSuiteTelemetryBus TestVirtualMemorySummary::makeBus()
{
    VeskSuiteSystemSources sources;
    sources.root = m_home->filePath("root");
    sources.volumesFolder = QStringLiteral("/volumes");
    sources.volumeSpace = [this](const QString &path) -> std::optional<VolumeSpace> {
        const auto it = m_volumes.constFind(path);
        if (it == m_volumes.cend())
            return std::nullopt;
        return *it;
    };
    return VeskSuiteTelemetryBus(m_home->filePath("bus"), sources);
}

void TestVirtualMemorySummary::addBundle(const QString &folder, const QString &name)
{
    QVERIFY(QDir().mkpath(folder + u'/' + name));
}

void TestVirtualMemorySummary::compactToken_data()
{
    QTest::addColumn<qint64>("swapTotal");
    QTest::addColumn<qint64>("swapUsed");
    QTest::addColumn<QString>("token");

    QTest::newRow("150 G used") << qint64(0) << qint64(150'000'000'000) << "150G";
    QTest::newRow("2.5 G used") << qint64(0) << qint64(2'500'000'000) << "2.5G";
    QTest::newRow("500 M used") << qint64(0) << qint64(500'000'000) << "500M";
    QTest::newRow("99.96 G shows one fraction digit") << qint64(0) << qint64(99'960'000'000) << "100.0G";
    QTest::newRow("nothing used of 12 G") << qint64(12'000'000'000) << qint64(0) << "12G";
    QTest::newRow("nothing used of 8 G") << qint64(8'000'000'000) << qint64(0) << "8.0G";
    QTest::newRow("nothing allocated") << qint64(0) << qint64(0) << "0G";
}

void TestVirtualMemorySummary::compactToken()
{
    QFETCH(qint64, swapTotal);
    QFETCH(qint64, swapUsed);
    QTEST(summaryWith(swapTotal, swapUsed, 0, 0, 0, 0, 0, 0, 0, 0).compactVirtualUsedToken(), "token");
}

void TestVirtualMemorySummary::badgeText_data()
{
    QTest::addColumn<VeskVirtualMemorySummary>("summary");
    QTest::addColumn<QString>("badge");

    QTest::newRow("nothing") << summaryWith(0, 0, 0, 0, 0, 0, 0, 0, 0, 0) << "";
    QTest::newRow("swap space only") << summaryWith(2'000'000'000, 0, 0, 0, 0, 0, 0, 0, 0, 0)
                                     << "Swap 0 B / 2.00 GB";
    QTest::newRow("pool and swap in use") << summaryWith(2'000'000'000, 1'500'000'000, 1, 10'000'000'000, 0, 0, 0, 0,
                                                         0, 0)
                                          << "Pool 10.00 GB + Swap 1.50 GB";
    QTest::newRow("pool hides unused swap space")
        << summaryWith(2'000'000'000, 0, 1, 10'000'000'000, 0, 0, 0, 0, 0, 0) << "Pool 10.00 GB";
    QTest::newRow("every part") << summaryWith(0, 999, 2, 1'000'000, 0, 1, 20'000'000'000, 0, 1, 4'000'000'000)
                                << "Pool 1.0 MB + vDisk 20.00 GB + RAMDisk 4.00 GB + Swap 999 B";
}

void TestVirtualMemorySummary::badgeText()
{
    QFETCH(VeskVirtualMemorySummary, summary);
    QTEST(summary.compactBadgeText(), "badge");
}

void TestVirtualMemorySummary::sumsAndPercentages()
{
    const VeskVirtualMemorySummary ramDiskOnly = summaryWith(0, 0, 0, 0, 0, 0, 0, 0, 1, 4'000'000'000);
    QCOMPARE(ramDiskOnly.virtualUsedPercent(), 100.0);
    QVERIFY(ramDiskOnly.isVeskMirrelVirtualExpansionActive());
    QVERIFY(ramDiskOnly.isAnyVirtualMemoryActive());
    QVERIFY(!ramDiskOnly.isSwapActive());

    VeskVirtualMemorySummary s = summaryWith(4'000'000'000, 6'000'000'000, 1, 10'000'000'000, 2'500'000'000, 1,
                                             20'000'000'000, 500'000'000, 0, 0);
    s.physicalTotalBytes = 16'000'000'000;
    s.physicalUsedBytes = 20'000'000'000;
    QCOMPARE(s.totalVeskMirrelVirtualCapacityBytes(), 30'000'000'000);
    // Swap counts with the larger of its size and its use.
    QCOMPARE(s.totalVirtualAllocatedBytes(), 36'000'000'000);
    QCOMPARE(s.totalVirtualUsedBytes(), 9'000'000'000);
    QCOMPARE(s.totalEffectiveMemoryCapacityBytes(), 52'000'000'000);
    QCOMPARE(s.totalEffectiveUsedBytes(), 29'000'000'000);
    QCOMPARE(s.physicalUsedPercent(), 100.0);
    QCOMPARE(s.swapUsedPercent(), 100.0);
    QCOMPARE(s.virtualUsedPercent(), 25.0);
    QCOMPARE(s.virtualSpaceUsageText(), QStringLiteral("9.00 GB / 36.00 GB"));

    const VeskVirtualMemorySummary empty;
    QCOMPARE(empty.physicalUsedPercent(), 0.0);
    QCOMPARE(empty.virtualUsedPercent(), 0.0);
    QCOMPARE(empty.virtualSpaceUsageText(), QStringLiteral("0 B"));
    QVERIFY(!empty.isAnyVirtualMemoryActive());

    // Absurd figures saturate instead of wrapping into negative totals.
    const VeskVirtualMemorySummary huge =
        summaryWith(0, 0, 1, std::numeric_limits<qint64>::max(), 0, 1, std::numeric_limits<qint64>::max(), 0, 0, 0);
    QCOMPARE(huge.totalVirtualAllocatedBytes(), std::numeric_limits<qint64>::max());
    QVERIFY(huge.totalEffectiveMemoryCapacityBytes() > 0);
}

void TestVirtualMemorySummary::kernelFiguresWithoutTheMemoryTool()
{
    const VeskVirtualMemorySummary summary = makeBus().readVirtualMemorySummary(now());
    QCOMPARE(summary.physicalTotalBytes, 16000000LL * 1024);
    QCOMPARE(summary.physicalUsedBytes, (4000000LL + 1000) * 1024);
    QCOMPARE(summary.compressedBytes, 1000LL * 1024);
    QCOMPARE(summary.swapTotalBytes, 8000000LL * 1024);
    QCOMPARE(summary.swapUsedBytes, 2000000LL * 1024);
    QCOMPARE(summary.swapFileCount, 0);
    QCOMPARE(summary.swapEncrypted, false);
    QCOMPARE(summary.pressureLevel, QStringLiteral("warning"));
    QVERIFY(!summary.isVeskMirrelRunning);
    QCOMPARE(summary.activeDiskPoolCount, 0);
    QCOMPARE(summary.mountedSparseDiskCount, 0);
    QVERIFY(summary.frozenPIDs.isEmpty());
}

void TestVirtualMemorySummary::unreadableKernelFilesFallBack()
{
    QVERIFY(QFile::remove(m_home->filePath("root/proc/meminfo")));
    QVERIFY(QFile::remove(m_home->filePath("root/proc/pressure/memory")));
    const VeskVirtualMemorySummary summary = makeBus().readVirtualMemorySummary(now());
    QVERIFY(summary.physicalTotalBytes > 0);
    QCOMPARE(summary.physicalUsedBytes, 0);
    QCOMPARE(summary.compressedBytes, 0);
    QCOMPARE(summary.swapTotalBytes, 0);
    QCOMPARE(summary.swapUsedBytes, 0);
    QCOMPARE(summary.swapEncrypted, true);
    QCOMPARE(summary.pressureLevel, QStringLiteral("normal"));
}

void TestVirtualMemorySummary::memoryToolStatusAge_data()
{
    QTest::addColumn<double>("ageSeconds");
    QTest::addColumn<bool>("used");

    QTest::newRow("fresh") << 1.0 << true;
    QTest::newRow("exactly 18 s old") << 18.0 << true;
    QTest::newRow("18.5 s old") << 18.5 << false;
    QTest::newRow("18 s in the future") << -18.0 << true;
}

void TestVirtualMemorySummary::memoryToolStatusAge()
{
    QFETCH(double, ageSeconds);
    QFETCH(bool, used);
    // A sparse disk the scan would find when the status is not used.
    addBundle(m_home->filePath("cache/VeskMirrel/Pools"), "Scratch.sparsebundle");
    m_volumes.insert("/volumes/Scratch", {5'000'000'000, 4'000'000'000});

    const VeskSuiteTelemetryBus bus = makeBus();
    bus.publishMirrelStatus(mirrelStatus(ageSeconds), false);
    const VeskVirtualMemorySummary summary = bus.readVirtualMemorySummary(now());
    QCOMPARE(summary.isVeskMirrelRunning, used);
    if (used) {
        const VeskMirrelLiveStatus status = mirrelStatus(ageSeconds);
        QCOMPARE(summary.physicalTotalBytes, status.physicalTotalBytes);
        QCOMPARE(summary.swapFileCount, 3);
        QCOMPARE(summary.swapEncrypted, false);
        QCOMPARE(summary.pressureLevel, QStringLiteral("elevated"));
        QCOMPARE(summary.sparseDiskNames, QStringList({"x", "y"}));
        QCOMPARE(summary.ramDiskNames, QStringList{"ram"});
        QCOMPARE(summary.frozenPIDs, QList<qint32>({501, 502}));
        QCOMPARE(summary.reclaimedFromFrozenBytes, 700000000);
    } else {
        QCOMPARE(summary.swapFileCount, 0);
        QCOMPARE(summary.pressureLevel, QStringLiteral("warning"));
        QCOMPARE(summary.mountedSparseDiskCount, 1);
        QCOMPARE(summary.sparseDiskNames, QStringList{"Scratch"});
        QCOMPARE(summary.activeDiskPoolCount, 0);
        QCOMPARE(summary.frozenAppCount, 0);
    }
}

void TestVirtualMemorySummary::memoryToolFiguresWinOnlyWhenLarger()
{
    VeskMirrelLiveStatus status = mirrelStatus(0);
    status.physicalTotalBytes = 0;
    status.physicalUsedBytes = -5;
    status.compressedBytes = 0;
    status.swapTotalBytes = 1;
    status.swapUsedBytes = 1;
    const VeskSuiteTelemetryBus bus = makeBus();
    bus.publishMirrelStatus(status, false);
    const VeskVirtualMemorySummary summary = bus.readVirtualMemorySummary(now());
    QVERIFY(summary.isVeskMirrelRunning);
    QCOMPARE(summary.physicalTotalBytes, 16000000LL * 1024);
    QCOMPARE(summary.physicalUsedBytes, (4000000LL + 1000) * 1024);
    QCOMPARE(summary.compressedBytes, 1000LL * 1024);
    QCOMPARE(summary.swapTotalBytes, 8000000LL * 1024);
    QCOMPARE(summary.swapUsedBytes, 2000000LL * 1024);

    // A status from a writer that has gone is not used.
    status.senderPID = qint32(exitedProcessId());
    bus.publishMirrelStatus(status, false);
    QVERIFY(!bus.readVirtualMemorySummary(now()).isVeskMirrelRunning);
}

void TestVirtualMemorySummary::sparseDiskScan()
{
    const QString pools = m_home->filePath("cache/VeskMirrel/Pools");
    const QString custom = m_home->filePath("custom pools");
    addBundle(pools, "Alpha.sparsebundle");
    addBundle(pools, "Beta.SPARSEBUNDLE");
    addBundle(pools, "Gamma.sparsebundle");   // not mounted
    addBundle(pools, "Empty.sparsebundle");   // mounted, no capacity
    addBundle(pools, ".Hidden.sparsebundle");
    QVERIFY(writeFile(pools + "/Notes.txt", "x"));
    addBundle(custom, "Alpha.sparsebundle");  // same name: counted once
    addBundle(custom, "Gamma.sparsebundle");  // seen already, never looked at again
    addBundle(custom, "Delta.sparsebundle");
    QVERIFY(writeFile(m_home->filePath("data/VeskMirrel/config.json"),
                      "{\"customPoolDirectory\": \"  " + custom.toUtf8() + "\\n\"}"));

    m_volumes.insert("/volumes/Alpha", {10'000'000'000, 7'000'000'000});
    m_volumes.insert("/volumes/Beta", {2'000'000'000, 2'500'000'000});  // more free than total: 0 used
    m_volumes.insert("/volumes/Empty", {0, 0});
    m_volumes.insert("/volumes/Gamma", {0, 0});
    m_volumes.insert("/volumes/Delta", {1'000'000'000, 0});
    m_volumes.insert("/volumes/.Hidden", {1'000'000'000, 0});

    // A memory tool status that has gone stale does not stop the scan.
    const VeskSuiteTelemetryBus bus = makeBus();
    bus.publishMirrelStatus(mirrelStatus(60), false);
    const VeskVirtualMemorySummary summary = bus.readVirtualMemorySummary(now());
    QVERIFY(!summary.isVeskMirrelRunning);
    QCOMPARE(summary.swapFileCount, 0);
    QCOMPARE(summary.sparseDiskNames, QStringList({"Alpha", "Beta", "Delta"}));
    QCOMPARE(summary.mountedSparseDiskCount, 3);
    QCOMPARE(summary.sparseDiskVirtualBytes, 13'000'000'000);
    QCOMPARE(summary.sparseDiskActualBytes, 3'000'000'000 + 0 + 1'000'000'000);
}

void TestVirtualMemorySummary::unusableCustomPoolSettings_data()
{
    QTest::addColumn<QByteArray>("config");

    QTest::newRow("not JSON") << QByteArray("customPoolDirectory=/x");
    QTest::newRow("array") << QByteArray("[\"CUSTOM\"]");
    QTest::newRow("key missing") << QByteArray("{\"poolDirectory\": \"CUSTOM\"}");
    QTest::newRow("not a string") << QByteArray("{\"customPoolDirectory\": 5}");
    QTest::newRow("blank") << QByteArray("{\"customPoolDirectory\": \" \\n\\t \"}");
    QTest::newRow("tilde is not expanded") << QByteArray("{\"customPoolDirectory\": \"~/custom\"}");
}

void TestVirtualMemorySummary::unusableCustomPoolSettings()
{
    QFETCH(QByteArray, config);
    const QString custom = m_home->filePath("custom");
    addBundle(custom, "Delta.sparsebundle");
    m_volumes.insert("/volumes/Delta", {1'000'000'000, 0});
    config.replace("CUSTOM", custom.toUtf8());
    QVERIFY(writeFile(m_home->filePath("data/VeskMirrel/config.json"), config));

    const VeskVirtualMemorySummary summary = makeBus().readVirtualMemorySummary(now());
    QCOMPARE(summary.mountedSparseDiskCount, 0);
    QVERIFY(summary.sparseDiskNames.isEmpty());
}

QTEST_MAIN(TestVirtualMemorySummary)
#include "tst_virtualmemorysummary.moc"
