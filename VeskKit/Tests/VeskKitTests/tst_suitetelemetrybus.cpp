#include "helper_suitetestenvironment.h"

#include "VeskKit/System/VeskSuiteCommandBus.h"
#include "VeskKit/System/VeskSuiteJson.h"
#include "VeskKit/System/VeskSuiteTelemetryBus.h"

#include "SessionBusSignal.h"

#include <QCoreApplication>
#include <QDirIterator>
#include <QJsonDocument>
#include <QSignalSpy>
#include <QtTest>

#include <csignal>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace {

QDateTime now()
{
    return *VeskSuiteJson::parseTimestamp(QStringLiteral("2024-05-01T10:20:30Z"));
}

qint32 ownPid()
{
    return qint32(QCoreApplication::applicationPid());
}

VeskMirrelLiveStatus mirrelStatus(qint64 offsetSeconds, qint32 pid)
{
    VeskMirrelLiveStatus status;
    status.timestamp = now().addSecs(offsetSeconds);
    status.senderPID = pid;
    status.physicalTotalBytes = 16000000000;
    status.pressureLevel = QStringLiteral("normal");
    return status;
}

VeskLiveActivityTile tile(VeskSuiteApp app, qint64 offsetSeconds, qint64 priority, qint32 pid = ownPid())
{
    return VeskLiveActivityTile(app, now().addSecs(offsetSeconds), pid, app.rawValue(), app.rawValue(), "1", {}, {},
                                {}, VeskLiveActivityTile::Tone::active, priority);
}

QStringList tileOrder(const QList<VeskLiveActivityTile> &tiles)
{
    QStringList apps;
    for (const VeskLiveActivityTile &t : tiles)
        apps << t.app.rawValue();
    return apps;
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

// A `kind` of file ("file", "link" to /dev/zero, "fifo", "idle fifo") holding `record` padded with blanks
// to `size`. A thread serves a FIFO, through a second name that a reader renaming the first leaves alone;
// a reader of the idle one is let go after two seconds and fails the test rather than hang.
struct OddSharedFile {
    OddSharedFile(const QString &kind, const QString &path, const QByteArray &record, qint64 size)
    {
        QDir().mkpath(QFileInfo(path).path());
        const QByteArray content = kind == u"idle fifo" ? QByteArray() : record.leftJustified(size);
        QVERIFY(kind == u"link" ? QFile::link(QStringLiteral("/dev/zero"), path)
                : kind == u"file" ? writeFile(path, content)
                                  : QProcess::execute(QStringLiteral("mkfifo"), {path + "~"}) == 0
                                        && ::link(QFile::encodeName(path + "~"), QFile::encodeName(path)) == 0);
        std::signal(SIGPIPE, SIG_IGN);  // a reader leaving early then fails the write rather than kill the test
        if (kind.endsWith(u"fifo"))
            server = std::jthread([this, fifo = QFile::encodeName(path + "~"), content](std::stop_token stop) {
                for (QDeadlineTimer letGo(content.isEmpty() ? 2000 : 0); !stop.stop_requested(); QThread::msleep(1)) {
                    // Opens only while a reader has the FIFO open.
                    const int fd = letGo.hasExpired() ? ::open(fifo.constData(), O_WRONLY | O_NONBLOCK) : -1;
                    if (fd < 0)
                        continue;
                    readerWaited.fetchAndOrRelaxed(content.isEmpty());
                    [[maybe_unused]] const auto written = ::write(fd, content.constData(), size_t(content.size()));
                    ::close(fd);
                }
            });
    }
    ~OddSharedFile() { QVERIFY2(!readerWaited.loadRelaxed(), "a reader waited for the FIFO's writer"); }
    QAtomicInt readerWaited;
    std::jthread server;  // last, so that it stops first
};

} // namespace

class TestSuiteTelemetryBus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void defaultFolderIsUnderTheDataHome();
    void statusFilesAreNamedPerSibling();
    void readersApplyAgeAndWriterRules_data();
    void readersApplyAgeAndWriterRules();
    void unreadableStatusFilesCountAsAbsent_data();
    void unreadableStatusFilesCountAsAbsent();
    void oddSharedFilesAreSkipped_data();
    void oddSharedFilesAreSkipped();
    void publishReplacesTheWholeFile();
    void clearStatusTouchesOnlyTheSevenSiblings();
    void tilesAreSortedAndFiltered();
    void tileFileExtensionsAndBadFiles();
    void tileThatCannotBeEncodedIsNotWritten();
    void clearLiveTileRemovesOnlyThatTile();
    void doorbellReachesObservers();
    void doorbellRingsEvenWhenTheWriteFails();
    void siblingsWithoutNotifyNeverRing();
    void doorbellFromAnotherProcess();
    void dockHoverTargets_data();
    void dockHoverTargets();
    void dockDropTarget_data();
    void dockDropTarget();

private:
    void waitForDeliveries();

    PrivateSessionBus m_bus;
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<VeskSuiteTelemetryBus> m_telemetry;
};

void TestSuiteTelemetryBus::initTestCase()
{
    QVERIFY(m_bus.start());
}

void TestSuiteTelemetryBus::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    useTemporaryXdgFolders(*m_home);
    m_telemetry = std::make_unique<VeskSuiteTelemetryBus>(m_home->filePath(QStringLiteral("bus")));
}

void TestSuiteTelemetryBus::cleanup()
{
    m_telemetry.reset();
    m_home.reset();
}

// Signals travel through the daemon: a delivery that must not come is given
// time to arrive before the test concludes it did not.
void TestSuiteTelemetryBus::waitForDeliveries()
{
    QTest::qWait(150);
}

void TestSuiteTelemetryBus::defaultFolderIsUnderTheDataHome()
{
    const VeskSuiteTelemetryBus bus;
    QCOMPARE(bus.baseDirectory(), m_home->filePath(QStringLiteral("data/Quarnell/SuiteTelemetry")));
    QVERIFY(!QFileInfo::exists(bus.baseDirectory()));
}

void TestSuiteTelemetryBus::statusFilesAreNamedPerSibling()
{
    const QDateTime t = now();
    const qint32 pid = ownPid();
    m_telemetry->publishMirrelStatus(mirrelStatus(0, pid), false);
    VeskTrenikLiveStatus trenik;
    trenik.timestamp = t;
    trenik.senderPID = pid;
    m_telemetry->publishTrenikStatus(trenik);
    VeskHalvotLiveStatus halvot;
    halvot.timestamp = t;
    halvot.senderPID = pid;
    m_telemetry->publishHalvotStatus(halvot);
    m_telemetry->publishPastinStatus(VeskPastinLiveStatus(t, pid, 0.5, "Speakers", {}), false);
    m_telemetry->publishQuenbyStatus(VeskQuenbyLiveStatus(t, pid, "T", "A", "B", "Q", true, 1, 2, 0.5), false);
    VeskDovricLiveStatus dovric;
    dovric.timestamp = t;
    dovric.senderPID = pid;
    m_telemetry->publishDovricStatus(dovric, false);
    VeskSelbarLiveStatus selbar;
    selbar.timestamp = t;
    selbar.senderPID = pid;
    selbar.miniPanelFrame = VeskScreenRect(1, 2, 3, 4);
    m_telemetry->publishSelbarStatus(selbar, false);

    QStringList files = QDir(m_telemetry->baseDirectory()).entryList(QDir::Files, QDir::Name);
    QCOMPARE(files, QStringList({"veskdovric-live.json", "veskhalvot-live.json", "veskmirrel-live.json",
                                 "veskpastin-live.json", "veskquenby-live.json", "veskselbar-live.json",
                                 "vesktrenik-live.json"}));

    QCOMPARE(m_telemetry->readMirrelStatus(t, 1), std::optional<VeskMirrelLiveStatus>(mirrelStatus(0, pid)));
    QCOMPARE(m_telemetry->readTrenikStatus(t, 1), std::optional<VeskTrenikLiveStatus>(trenik));
    QCOMPARE(m_telemetry->readHalvotStatus(t, 1), std::optional<VeskHalvotLiveStatus>(halvot));
    QVERIFY(m_telemetry->readPastinStatus(t, 1));
    QVERIFY(m_telemetry->readQuenbyStatus(t, 1));
    QCOMPARE(m_telemetry->readDovricStatus(t, 1), std::optional<VeskDovricLiveStatus>(dovric));
    QCOMPARE(m_telemetry->readSelbarStatus(t, 1), std::optional<VeskSelbarLiveStatus>(selbar));

    // One compact JSON object per file.
    QFile file(QDir(m_telemetry->baseDirectory()).filePath("veskmirrel-live.json"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray content = file.readAll();
    QVERIFY(!content.contains('\n'));
    QVERIFY(QJsonDocument::fromJson(content).isObject());
}

void TestSuiteTelemetryBus::readersApplyAgeAndWriterRules_data()
{
    QTest::addColumn<qint64>("offsetSeconds");
    QTest::addColumn<double>("maxAge");
    QTest::addColumn<qint64>("pid");
    QTest::addColumn<bool>("returned");

    const qint64 me = ownPid();
    QTest::newRow("10 s ahead, limit 10") << qint64(10) << 10.0 << me << true;
    QTest::newRow("10 s ahead, limit 9.99") << qint64(10) << 9.99 << me << false;
    QTest::newRow("30 s old, limit 30") << qint64(-30) << 30.0 << me << true;
    QTest::newRow("31 s old, limit 30") << qint64(-31) << 30.0 << me << false;
    QTest::newRow("writer has exited") << qint64(0) << 30.0 << exitedProcessId() << false;
    QTest::newRow("writer 0") << qint64(0) << 30.0 << qint64(0) << false;
    QTest::newRow("negative writer") << qint64(0) << 30.0 << qint64(-1) << false;
    QTest::newRow("writer of another user") << qint64(0) << 30.0 << qint64(1) << true;
}

void TestSuiteTelemetryBus::readersApplyAgeAndWriterRules()
{
    QFETCH(qint64, offsetSeconds);
    QFETCH(double, maxAge);
    QFETCH(qint64, pid);
    QFETCH(bool, returned);
    m_telemetry->publishMirrelStatus(mirrelStatus(offsetSeconds, qint32(pid)), false);
    QCOMPARE(m_telemetry->readMirrelStatus(now(), maxAge).has_value(), returned);
    // A refused file is left for its owner to replace.
    QVERIFY(QFileInfo::exists(QDir(m_telemetry->baseDirectory()).filePath("veskmirrel-live.json")));
}

void TestSuiteTelemetryBus::unreadableStatusFilesCountAsAbsent_data()
{
    QTest::addColumn<QByteArray>("content");

    QTest::newRow("empty file") << QByteArray();
    QTest::newRow("not JSON") << QByteArray("hello");
    QTest::newRow("JSON array") << QByteArray("[1,2]");
    QTest::newRow("truncated object") << QByteArray(R"({"timestamp":"2024-05-01T10:20:30Z","senderPID":)");
    QTest::newRow("missing keys") << QByteArray(R"({"timestamp":"2024-05-01T10:20:30Z","senderPID":1})");
    QTest::newRow("binary") << QByteArray("\x00\xff\xfe\x01", 4);
}

void TestSuiteTelemetryBus::unreadableStatusFilesCountAsAbsent()
{
    QFETCH(QByteArray, content);
    const QString path = QDir(m_telemetry->baseDirectory()).filePath("vesktrenik-live.json");
    QVERIFY(writeFile(path, content));
    QVERIFY(!m_telemetry->readTrenikStatus(now(), 1e9));
    // The reader leaves it as it was.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), content);
}

void TestSuiteTelemetryBus::oddSharedFilesAreSkipped_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<qint64>("overLimit");  // bytes beyond the most a reader takes
    QTest::newRow("regular file at the size limit") << "file" << qint64(0);
    QTest::newRow("regular file one byte over") << "file" << qint64(1);
    QTest::newRow("FIFO with a writer") << "fifo" << qint64(2 << 20);
    QTest::newRow("FIFO without a writer") << "idle fifo" << qint64(0);
    QTest::newRow("link to /dev/zero") << "link" << qint64(0);
}

// Status files, tiles, commands and desktop entries lie in folders anyone may fill.
void TestSuiteTelemetryBus::oddSharedFilesAreSkipped()
{
    QFETCH(QString, kind);
    QFETCH(qint64, overLimit);
    const bool readable = kind == u"file" && overLimit == 0;  // the only one a reader may take
    const QDir base(m_telemetry->baseDirectory());
    const VeskSuiteCommandBus commands(base.path());
    const auto json = [](const auto &record) { return VeskSuiteJson::encode(*record.toJson()); };
    const VeskSuiteCommandEnvelope command(QUuid::createUuid(), now(), VeskSuiteApp::veskHalvot,
                                           VeskSuiteApp::veskMirrel, VeskSuiteCommandKind::mirrelThawAll, {}, {}, {});
    const qint64 large = (4 << 20) + overLimit, small = (1 << 20) + overLimit;  // the readers' limits
    const OddSharedFile files[] = {
        {kind, base.filePath("veskmirrel-live.json"), json(mirrelStatus(0, ownPid())), large},
        {kind, base.filePath("LiveTiles/veskgrid.json"), json(tile(VeskSuiteApp::veskGrid, 0, 1)), large},
        {kind, commands.commandFilePath(VeskSuiteApp::veskMirrel), json(command), small},
        {kind, m_home->filePath("data/applications/com.quarnell.veskgrid.desktop"), "[Desktop Entry]\nExec=true\n",
         small}};
    QCOMPARE(m_telemetry->readMirrelStatus(now(), 60).has_value(), readable);
    QCOMPARE(m_telemetry->readLiveTiles(now(), 60).size(), readable ? 1 : 0);
    QCOMPARE(commands.consumePendingCommand(VeskSuiteApp::veskMirrel, now(), 60).has_value(), readable);
    QCOMPARE(VeskSuiteApp(VeskSuiteApp::veskGrid).launch(), readable);
    // A command that could not be read is left where it was.
    QCOMPARE(QFileInfo::exists(commands.commandFilePath(VeskSuiteApp::veskMirrel)), !readable);
}

void TestSuiteTelemetryBus::publishReplacesTheWholeFile()
{
    VeskMirrelLiveStatus big = mirrelStatus(0, ownPid());
    for (int i = 0; i < 200; ++i)
        big.diskPoolNames << QStringLiteral("pool-%1").arg(i);
    m_telemetry->publishMirrelStatus(big, false);
    const VeskMirrelLiveStatus small = mirrelStatus(1, ownPid());
    m_telemetry->publishMirrelStatus(small, false);
    QCOMPARE(m_telemetry->readMirrelStatus(now(), 5), std::optional<VeskMirrelLiveStatus>(small));
    // No temporary file is left beside it.
    QCOMPARE(QDir(m_telemetry->baseDirectory()).entryList(QDir::Files | QDir::Hidden),
             QStringList{"veskmirrel-live.json"});
}

void TestSuiteTelemetryBus::clearStatusTouchesOnlyTheSevenSiblings()
{
    const QDir base(m_telemetry->baseDirectory());
    m_telemetry->publishMirrelStatus(mirrelStatus(0, ownPid()), false);
    // A file that looks like a status of a sibling without one.
    QVERIFY(writeFile(base.filePath("veskatlas-live.json"), "{}"));

    m_telemetry->clearStatus(VeskSuiteApp::veskAtlas);
    QVERIFY(QFileInfo::exists(base.filePath("veskatlas-live.json")));
    m_telemetry->clearStatus(VeskSuiteApp::veskHalvot);  // no file: nothing happens
    QVERIFY(QFileInfo::exists(base.filePath("veskmirrel-live.json")));
    m_telemetry->clearStatus(VeskSuiteApp::veskMirrel);
    QVERIFY(!QFileInfo::exists(base.filePath("veskmirrel-live.json")));
    QVERIFY(!m_telemetry->readMirrelStatus(now(), 5));
}

void TestSuiteTelemetryBus::tilesAreSortedAndFiltered()
{
    QVERIFY(m_telemetry->readLiveTiles(now(), 60).isEmpty());

    m_telemetry->publishLiveTile(tile(VeskSuiteApp::veskAtlas, -50, 1), false);
    m_telemetry->publishLiveTile(tile(VeskSuiteApp::veskBeacon, -10, 1), false);
    m_telemetry->publishLiveTile(tile(VeskSuiteApp::veskCanvas, -55, 2), false);
    m_telemetry->publishLiveTile(tile(VeskSuiteApp::veskDock, -10, 1), false);
    m_telemetry->publishLiveTile(tile(VeskSuiteApp::veskEcho, -90, 5), false);  // too old
    m_telemetry->publishLiveTile(tile(VeskSuiteApp::veskFlux, 0, 9, qint32(exitedProcessId())), false);

    // Equal in both keys, Beacon and Dock keep the folder's (name) order.
    QCOMPARE(tileOrder(m_telemetry->readLiveTiles(now(), 60)),
             QStringList({"VeskCanvas", "VeskBeacon", "VeskDock", "VeskAtlas"}));

    // A newer tile of the same application replaces the older one.
    m_telemetry->publishLiveTile(tile(VeskSuiteApp::veskAtlas, 0, 3), false);
    QCOMPARE(tileOrder(m_telemetry->readLiveTiles(now(), 60)),
             QStringList({"VeskAtlas", "VeskCanvas", "VeskBeacon", "VeskDock"}));
    QCOMPARE(QDir(m_telemetry->baseDirectory() + "/LiveTiles").entryList(QDir::Files).size(), 6);
}

void TestSuiteTelemetryBus::tileFileExtensionsAndBadFiles()
{
    const QString folder = m_telemetry->baseDirectory() + QStringLiteral("/LiveTiles");
    const QByteArray good = VeskSuiteJson::encode(*tile(VeskSuiteApp::veskGrid, 0, 1).toJson());
    QVERIFY(writeFile(folder + "/UPPER.JSON", good));
    QVERIFY(writeFile(folder + "/grid.json.bak", good));
    QVERIFY(writeFile(folder + "/grid.txt", good));
    QVERIFY(writeFile(folder + "/.hidden.json", good));
    QVERIFY(writeFile(folder + "/broken.json", "{\"app\":"));
    QVERIFY(writeFile(folder + "/wrong-tone.json", QByteArray(good).replace("\"active\"", "\"Active\"")));
    QVERIFY(QDir().mkpath(folder + "/folder.json"));

    const QList<VeskLiveActivityTile> tiles = m_telemetry->readLiveTiles(now(), 60);
    QCOMPARE(tiles.size(), 1);
    QCOMPARE(tiles.first().app, VeskSuiteApp::veskGrid);
    // Nothing is deleted by the reader.
    QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden).size(), 7);
}

void TestSuiteTelemetryBus::tileThatCannotBeEncodedIsNotWritten()
{
    VeskLiveActivityTile bad = tile(VeskSuiteApp::veskKite, 0, 1);
    bad.progress = std::nan("");
    m_telemetry->publishLiveTile(bad, false);
    QVERIFY(!QFileInfo::exists(m_telemetry->baseDirectory() + "/LiveTiles/veskkite.json"));
}

void TestSuiteTelemetryBus::clearLiveTileRemovesOnlyThatTile()
{
    m_telemetry->publishLiveTile(tile(VeskSuiteApp::veskIris, 0, 1), false);
    m_telemetry->publishLiveTile(tile(VeskSuiteApp::veskJolt, 0, 1), false);
    m_telemetry->clearLiveTile(VeskSuiteApp::veskIris);
    m_telemetry->clearLiveTile(VeskSuiteApp::veskKite);
    QCOMPARE(tileOrder(m_telemetry->readLiveTiles(now(), 60)), QStringList{"VeskJolt"});
}

void TestSuiteTelemetryBus::doorbellReachesObservers()
{
    int calls = 0;
    bool onMainThread = true;
    VeskSuiteObserverToken token = m_telemetry->observeTelemetryUpdates([&] {
        ++calls;
        onMainThread = onMainThread && QThread::currentThread() == QCoreApplication::instance()->thread();
    });
    QVERIFY(token);

    m_telemetry->publishMirrelStatus(mirrelStatus(0, ownPid()), true);
    QTRY_COMPARE(calls, 1);
    m_telemetry->publishLiveTile(tile(VeskSuiteApp::veskLumen, 0, 1), true);
    QTRY_COMPARE(calls, 2);
    m_telemetry->publishLiveTile(tile(VeskSuiteApp::veskLumen, 0, 1), false);
    waitForDeliveries();
    QCOMPARE(calls, 2);
    QVERIFY(onMainThread);

    // Another bus instance, e.g. in another application, hears it too.
    VeskSuiteTelemetryBus other(m_home->filePath(QStringLiteral("elsewhere")));
    int otherCalls = 0;
    VeskSuiteObserverToken otherToken = other.observeTelemetryUpdates([&] { ++otherCalls; });
    m_telemetry->publishDovricStatus(VeskDovricLiveStatus(), true);
    QTRY_COMPARE(otherCalls, 1);
    QTRY_COMPARE(calls, 3);

    // Removing the token stops the deliveries.
    token.reset();
    m_telemetry->publishDovricStatus(VeskDovricLiveStatus(), true);
    QTRY_COMPARE(otherCalls, 2);
    waitForDeliveries();
    QCOMPARE(calls, 3);
}

void TestSuiteTelemetryBus::doorbellRingsEvenWhenTheWriteFails()
{
    // A file where the folder should be: nothing can be written.
    QVERIFY(writeFile(m_home->filePath(QStringLiteral("blocked")), "not a folder"));
    const VeskSuiteTelemetryBus blocked(m_home->filePath(QStringLiteral("blocked")));
    int calls = 0;
    VeskSuiteObserverToken token = blocked.observeTelemetryUpdates([&] { ++calls; });
    blocked.publishMirrelStatus(mirrelStatus(0, ownPid()), true);
    QTRY_COMPARE(calls, 1);
    QVERIFY(!blocked.readMirrelStatus(now(), 5));
}

void TestSuiteTelemetryBus::siblingsWithoutNotifyNeverRing()
{
    int calls = 0;
    VeskSuiteObserverToken token = m_telemetry->observeTelemetryUpdates([&] { ++calls; });
    VeskTrenikLiveStatus trenik;
    trenik.timestamp = now();
    trenik.senderPID = ownPid();
    m_telemetry->publishTrenikStatus(trenik);
    VeskHalvotLiveStatus halvot;
    halvot.timestamp = now();
    halvot.senderPID = ownPid();
    m_telemetry->publishHalvotStatus(halvot);
    m_telemetry->publishQuenbyStatus(VeskQuenbyLiveStatus(), false);
    waitForDeliveries();
    QCOMPARE(calls, 0);
    // Still delivered as usual once someone rings.
    m_telemetry->publishQuenbyStatus(VeskQuenbyLiveStatus(), true);
    QTRY_COMPARE(calls, 1);
}

void TestSuiteTelemetryBus::doorbellFromAnotherProcess()
{
    int calls = 0;
    VeskSuiteObserverToken token = m_telemetry->observeTelemetryUpdates([&] { ++calls; });
    const QString dbusSend = QStandardPaths::findExecutable(QStringLiteral("dbus-send"));
    QVERIFY(!dbusSend.isEmpty());
    QProcess sender;
    sender.start(dbusSend, {"--session", "--type=signal", "/com/quarnell/suite", "com.quarnell.suite.telemetryUpdated"});
    QVERIFY(sender.waitForFinished(10000));
    QCOMPARE(sender.exitCode(), 0);
    QTRY_COMPARE(calls, 1);
}

void TestSuiteTelemetryBus::dockHoverTargets_data()
{
    QTest::addColumn<QStringList>("dbusArgument");  // empty: posted through the bus itself
    QTest::addColumn<std::optional<QString>>("posted");
    QTest::addColumn<std::optional<QString>>("received");

    using S = std::optional<QString>;
    QTest::newRow("mini") << QStringList() << S("mini") << S("mini");
    QTest::newRow("studio") << QStringList() << S("studio") << S("studio");
    QTest::newRow("no target is sent as none") << QStringList() << S() << S();
    QTest::newRow("unknown word") << QStringList() << S("dock") << S();
    QTest::newRow("other letter case") << QStringList() << S("Mini") << S();
    QTest::newRow("non-string object") << QStringList{"int32:5"} << S() << S();
    QTest::newRow("no object at all") << QStringList{"-"} << S() << S();
    QTest::newRow("string from another process") << QStringList{"string:studio"} << S() << S("studio");
}

void TestSuiteTelemetryBus::dockHoverTargets()
{
    QFETCH(QStringList, dbusArgument);
    QFETCH(std::optional<QString>, posted);
    QFETCH(std::optional<QString>, received);

    QList<std::optional<QString>> deliveries;
    VeskSuiteObserverToken token =
        m_telemetry->observeFocusDockHover([&](std::optional<QString> target) { deliveries << target; });

    // What goes over the bus itself.
    QList<std::optional<QString>> wire;
    const std::unique_ptr<QObject> wireToken = SessionBusSignal::observe(
        QString::fromLatin1(VeskSuiteTelemetryBus::focusDockHoverNotification),
        [&](std::optional<QString> object) { wire << object; });

    if (dbusArgument.isEmpty()) {
        m_telemetry->postFocusDockHoverTarget(posted);
    } else {
        QStringList arguments{"--session", "--type=signal", "/com/quarnell/suite", "com.quarnell.suite.focusDockHover"};
        if (dbusArgument.first() != "-")
            arguments << dbusArgument;
        QProcess sender;
        sender.start(QStandardPaths::findExecutable(QStringLiteral("dbus-send")), arguments);
        QVERIFY(sender.waitForFinished(10000));
        QCOMPARE(sender.exitCode(), 0);
    }
    QTRY_COMPARE(deliveries.size(), 1);
    QCOMPARE(deliveries.first(), received);
    QTRY_COMPARE(wire.size(), 1);
    if (dbusArgument.isEmpty())
        QCOMPARE(wire.first(), std::optional<QString>(posted.value_or(QStringLiteral("none"))));
}

void TestSuiteTelemetryBus::dockDropTarget_data()
{
    QTest::addColumn<QRectF>("dragged");
    QTest::addColumn<std::optional<QRectF>>("mini");
    QTest::addColumn<std::optional<QRectF>>("studio");
    QTest::addColumn<std::optional<QString>>("target");

    using R = std::optional<QRectF>;
    using S = std::optional<QString>;
    const QRectF mini(0, 0, 100, 100);
    const QRectF studio(100, 0, 400, 400);

    QTest::newRow("centre in mini while covering studio too")
        << QRectF(40, 10, 100, 50) << R(mini) << R(studio) << S("mini");
    QTest::newRow("21% over mini and 30% over studio, centre in neither")
        << QRectF(0, 0, 100, 100) << R(QRectF(-100, 79, 200, 100)) << R(QRectF(-100, -100, 200, 130))
        << S("studio");
    QTest::newRow("exactly 22% over mini") << QRectF(-78, 500, 100, 100) << R(QRectF(0, 0, 100, 1000)) << R()
                                           << S("mini");
    QTest::newRow("centre on the far edge is outside") << QRectF(-100, -100, 400, 400) << R(mini) << R() << S();
    QTest::newRow("centre just inside") << QRectF(-100, -100, 400, 400) << R(QRectF(0, 0, 100.5, 100.5)) << R()
                                        << S("mini");
    QTest::newRow("touching edges only") << QRectF(100, 0, 50, 50) << R(mini) << R() << S();
    QTest::newRow("no targets") << QRectF(0, 0, 50, 50) << R() << R() << S();
    QTest::newRow("target one point wide") << QRectF(0, 0, 50, 50) << R(QRectF(0, 0, 1, 100)) << R() << S();
    QTest::newRow("dragged one point high") << QRectF(10, 10, 50, 1) << R(mini) << R(studio) << S();
    QTest::newRow("mini refuses, studio takes the centre") << QRectF(200, 200, 50, 50) << R(mini) << R(studio)
                                                           << S("studio");
}

void TestSuiteTelemetryBus::dockDropTarget()
{
    QFETCH(QRectF, dragged);
    QFETCH(std::optional<QRectF>, mini);
    QFETCH(std::optional<QRectF>, studio);
    QTEST(VeskSuiteTelemetryBus::detectDockDropTarget(dragged, mini, studio), "target");
}

QTEST_MAIN(TestSuiteTelemetryBus)
#include "tst_suitetelemetrybus.moc"
