#include "helper_suitetestenvironment.h"

#include "VeskKit/System/VeskSuiteCommandBus.h"
#include "VeskKit/System/VeskSuiteJson.h"

#include "SessionBusSignal.h"

#include <QElapsedTimer>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSet>
#include <QtTest>

#include <thread>

namespace {

QDateTime now()
{
    return *VeskSuiteJson::parseTimestamp(QStringLiteral("2024-05-01T10:20:30Z"));
}

VeskSuiteCommandEnvelope envelope(VeskSuiteApp target, VeskSuiteCommandKind kind, const QDateTime &timestamp)
{
    return VeskSuiteCommandEnvelope(QUuid::createUuid(), timestamp, VeskSuiteApp::veskHalvot, target, kind, {}, {}, {});
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestSuiteCommandBus : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void kindCatalog();
    void foldersAndNames();
    void targetPidRule_data();
    void targetPidRule();
    void targetThatCannotBeReached_data();
    void targetThatCannotBeReached();
    void sendToAnInstalledTargetStartsIt();
    void sendToARunningTargetRingsItsDoorbell();
    void sendThatCannotWriteFails();
    void envelopeKeys();
    void laterCommandReplacesEarlier();
    void ageLimit_data();
    void ageLimit();
    void badFiles_data();
    void badFiles();
    void twoConsumersTakeEveryCommandOnce();
    void listenerPicksUpACommandWrittenBeforeIt();
    void listenerDropsStaleCommands();
    void listenerStopsWhenTheBusIsGone();

private:
    PrivateSessionBus m_bus;
    std::unique_ptr<QTemporaryDir> m_home;
    std::unique_ptr<VeskSuiteCommandBus> m_commands;
};

void TestSuiteCommandBus::initTestCase()
{
    QVERIFY(m_bus.start());
}

void TestSuiteCommandBus::init()
{
    m_home = std::make_unique<QTemporaryDir>();
    QVERIFY(m_home->isValid());
    useTemporaryXdgFolders(*m_home);
    m_commands = std::make_unique<VeskSuiteCommandBus>(m_home->filePath(QStringLiteral("base")));
}

void TestSuiteCommandBus::cleanup()
{
    m_commands.reset();
    m_home.reset();
}

void TestSuiteCommandBus::kindCatalog()
{
    static const QRegularExpression form(QStringLiteral("^([a-z]+)[A-Z][A-Za-z]*$"));
    QCOMPARE(kVeskSuiteCommandKindAllCases.size(), size_t(139));
    QSet<QString> raws;
    QSet<QString> words;
    QSet<QString> productWords;
    for (const VeskSuiteApp app : VeskSuiteApp::allCases())
        productWords.insert(app.rawValue().mid(4).toLower());
    for (const VeskSuiteCommandKind kind : kVeskSuiteCommandKindAllCases) {
        const QString raw = rawValue(kind);
        QVERIFY2(raw.size() >= 9 && raw.size() <= 26, qPrintable(raw));
        const QRegularExpressionMatch match = form.match(raw);
        QVERIFY2(match.hasMatch(), qPrintable(raw));
        QVERIFY2(productWords.contains(match.captured(1)), qPrintable(raw));
        words.insert(match.captured(1));
        raws.insert(raw);
        QCOMPARE(VeskSuiteCommandKindFromRaw(raw), std::optional<VeskSuiteCommandKind>(kind));
        QCOMPARE(VeskSuiteCommandKindFromJson(toJson(kind)), std::optional<VeskSuiteCommandKind>(kind));
    }
    QCOMPARE(raws.size(), 139);
    QCOMPARE(words.size(), 40);
    QVERIFY(!VeskSuiteCommandKindFromRaw(QStringLiteral("MirrelSmartOffload")));
    QVERIFY(!VeskSuiteCommandKindFromRaw(QStringLiteral("mirrelsmartoffload")));
    QVERIFY(!VeskSuiteCommandKindFromJson(QJsonValue(3)));
}

void TestSuiteCommandBus::foldersAndNames()
{
    QCOMPARE(m_commands->commandsDirectory(), m_home->filePath(QStringLiteral("base/Commands")));
    QCOMPARE(m_commands->commandFilePath(VeskSuiteApp::veskMirrel),
             m_home->filePath(QStringLiteral("base/Commands/veskmirrel-cmd.json")));
    QCOMPARE(VeskSuiteCommandBus::notificationName(VeskSuiteApp::veskMirrel),
             QStringLiteral("com.quarnell.suite.command.veskmirrel"));
    const VeskSuiteCommandBus defaults;
    QCOMPARE(defaults.commandsDirectory(), m_home->filePath(QStringLiteral("data/Quarnell/SuiteTelemetry/Commands")));
    // Nothing is created until a command is written.
    QVERIFY(!QFileInfo::exists(defaults.commandsDirectory()));
    QVERIFY(!QFileInfo::exists(m_commands->commandsDirectory()));
    for (const VeskSuiteApp app : VeskSuiteApp::allCases())
        QVERIFY(SessionBusSignal::isValidName(VeskSuiteCommandBus::notificationName(app)));
}

void TestSuiteCommandBus::targetPidRule_data()
{
    QTest::addColumn<std::optional<qint32>>("pid");
    QTest::addColumn<bool>("sent");

    QTest::newRow("absent") << std::optional<qint32>() << true;
    QTest::newRow("2") << std::optional<qint32>(2) << true;
    QTest::newRow("1") << std::optional<qint32>(1) << false;
    QTest::newRow("0") << std::optional<qint32>(0) << false;
    QTest::newRow("-5") << std::optional<qint32>(-5) << false;
}

void TestSuiteCommandBus::targetPidRule()
{
    QFETCH(std::optional<qint32>, pid);
    QFETCH(bool, sent);
    installDesktopEntry(m_home->filePath("data/applications"), "com.quarnell.vesktrenik", "true");
    QCOMPARE(m_commands->send(VeskSuiteCommandKind::trenikToggleHud, VeskSuiteApp::veskHalvot, VeskSuiteApp::veskTrenik,
                              pid, {}, {}, true, false),
             sent);
    QCOMPARE(QFileInfo::exists(m_commands->commandFilePath(VeskSuiteApp::veskTrenik)), sent);
    if (sent) {
        const std::optional<VeskSuiteCommandEnvelope> pending =
            m_commands->peekPendingCommand(VeskSuiteApp::veskTrenik, QDateTime::currentDateTimeUtc(), 60);
        QVERIFY(pending);
        QCOMPARE(pending->targetPID, pid);
    }
}

void TestSuiteCommandBus::targetThatCannotBeReached_data()
{
    QTest::addColumn<QString>("exec");  // the entry's command; "uninstalled": no entry
    QTest::addColumn<bool>("launchIfNeeded");

    QTest::newRow("not running, may not launch, installed") << "true" << false;
    QTest::newRow("not running, may launch, not installed") << "uninstalled" << true;
    QTest::newRow("neither") << "uninstalled" << false;
    QTest::newRow("installed but its program is missing") << "vesk-no-such-program" << true;
}

void TestSuiteCommandBus::targetThatCannotBeReached()
{
    QFETCH(QString, exec);
    QFETCH(bool, launchIfNeeded);
    if (exec != u"uninstalled")
        installDesktopEntry(m_home->filePath("data/applications"), "com.quarnell.veskmirrel", exec);
    QVERIFY(!m_commands->send(VeskSuiteCommandKind::mirrelThawAll, VeskSuiteApp::veskHalvot, VeskSuiteApp::veskMirrel,
                              {}, {}, {}, launchIfNeeded, true));
    // Only a failed start comes after the command was written, and it takes the command back.
    QCOMPARE(QFileInfo::exists(m_commands->commandsDirectory()), exec != u"uninstalled" && launchIfNeeded);
    QCOMPARE(QDir(m_commands->commandsDirectory()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestSuiteCommandBus::sendToAnInstalledTargetStartsIt()
{
    const QString marker = m_home->filePath("started");
    installDesktopEntry(m_home->filePath("data/applications"), "com.quarnell.veskmirrel", "touch " + marker);
    int rings = 0;
    const auto doorbell = SessionBusSignal::observe(VeskSuiteCommandBus::notificationName(VeskSuiteApp::veskMirrel),
                                                    [&](std::optional<QString>) { ++rings; });

    QVERIFY(m_commands->send(VeskSuiteCommandKind::mirrelSmartOffload, VeskSuiteApp::veskHalvot,
                             VeskSuiteApp::veskMirrel, 4321, QStringLiteral("Photos"), QStringLiteral("now"), true,
                             false));
    QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(marker), 10000);
    const std::optional<VeskSuiteCommandEnvelope> pending =
        m_commands->consumePendingCommand(VeskSuiteApp::veskMirrel, QDateTime::currentDateTimeUtc(), 25);
    QVERIFY(pending);
    QCOMPARE(pending->kind, VeskSuiteCommandKind::mirrelSmartOffload);
    QCOMPARE(pending->sourceApp, VeskSuiteApp::veskHalvot);
    QCOMPARE(pending->targetApp, VeskSuiteApp::veskMirrel);
    QCOMPARE(pending->targetPID, std::optional<qint32>(4321));
    QCOMPARE(pending->targetName, std::optional<QString>("Photos"));
    QCOMPARE(pending->payload, std::optional<QString>("now"));
    QVERIFY(!pending->id.isNull());
    // A started target finds the file itself: no doorbell is rung.
    QTest::qWait(150);
    QCOMPARE(rings, 0);
}

void TestSuiteCommandBus::sendToARunningTargetRingsItsDoorbell()
{
    NamedProcess sibling;
    QVERIFY(sibling.start(*m_home, QStringLiteral("VeskHalvot")));
    QTRY_VERIFY(VeskSuiteApp(VeskSuiteApp::veskHalvot).isRunning());

    QList<VeskSuiteCommandEnvelope> handled;
    VeskSuiteCommandBus receiver(m_home->filePath(QStringLiteral("base")));
    VeskSuiteObserverToken token = receiver.startListening(
        VeskSuiteApp::veskHalvot, [&](const VeskSuiteCommandEnvelope &e) { handled << e; });
    QTest::qWait(500);  // past the start-up check, which found nothing

    // Running and not installed: the doorbell is enough.
    QVERIFY(m_commands->send(VeskSuiteCommandKind::halvotKillAllFrozen, VeskSuiteApp::veskTrenik,
                             VeskSuiteApp::veskHalvot, {}, {}, {}, false, false));
    QTRY_COMPARE(handled.size(), 1);
    QCOMPARE(handled.first().kind, VeskSuiteCommandKind::halvotKillAllFrozen);
    QCOMPARE(handled.first().sourceApp, VeskSuiteApp::veskTrenik);
    QVERIFY(!QFileInfo::exists(m_commands->commandFilePath(VeskSuiteApp::veskHalvot)));

    // Once the token is gone, a doorbell is not heard; the command waits.
    token.reset();
    QVERIFY(m_commands->send(VeskSuiteCommandKind::halvotTargetWindow, VeskSuiteApp::veskTrenik,
                             VeskSuiteApp::veskHalvot, {}, {}, {}, false, false));
    QTest::qWait(300);
    QCOMPARE(handled.size(), 1);
    QVERIFY(QFileInfo::exists(m_commands->commandFilePath(VeskSuiteApp::veskHalvot)));
}

void TestSuiteCommandBus::sendThatCannotWriteFails()
{
    installDesktopEntry(m_home->filePath("data/applications"), "com.quarnell.veskmirrel", "true");
    QVERIFY(writeFile(m_home->filePath("blocked"), "a file where the folder should be"));
    const VeskSuiteCommandBus blocked(m_home->filePath("blocked"));
    QVERIFY(!blocked.send(VeskSuiteCommandKind::mirrelThawAll, VeskSuiteApp::veskHalvot, VeskSuiteApp::veskMirrel, {},
                          {}, {}, true, false));
    QVERIFY(!blocked.enqueue(envelope(VeskSuiteApp::veskMirrel, VeskSuiteCommandKind::mirrelThawAll, now())));
}

void TestSuiteCommandBus::envelopeKeys()
{
    QVERIFY(m_commands->enqueue(envelope(VeskSuiteApp::veskMirrel, VeskSuiteCommandKind::mirrelOpenDiskLab, now())));
    const QByteArray content = readFile(m_commands->commandFilePath(VeskSuiteApp::veskMirrel));
    const QJsonObject object = QJsonDocument::fromJson(content).object();
    QStringList keys = object.keys();
    keys.sort();
    QCOMPARE(keys, QStringList({"id", "kind", "sourceApp", "targetApp", "timestamp"}));
    QVERIFY(QRegularExpression("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$")
                .match(object.value("id").toString())
                .hasMatch());
    QCOMPARE(object.value("kind").toString(), QStringLiteral("mirrelOpenDiskLab"));
    QCOMPARE(object.value("timestamp").toString(), QStringLiteral("2024-05-01T10:20:30Z"));
    QVERIFY(!content.contains('\n'));
}

void TestSuiteCommandBus::laterCommandReplacesEarlier()
{
    QVERIFY(m_commands->enqueue(envelope(VeskSuiteApp::veskMirrel, VeskSuiteCommandKind::mirrelThawAll, now())));
    const VeskSuiteCommandEnvelope second =
        envelope(VeskSuiteApp::veskMirrel, VeskSuiteCommandKind::mirrelSmartOffload, now());
    QVERIFY(m_commands->enqueue(second));
    QCOMPARE(m_commands->peekPendingCommand(VeskSuiteApp::veskMirrel, now(), 1),
             std::optional<VeskSuiteCommandEnvelope>(second));
    QCOMPARE(m_commands->consumePendingCommand(VeskSuiteApp::veskMirrel, now(), 1),
             std::optional<VeskSuiteCommandEnvelope>(second));
    QVERIFY(!m_commands->consumePendingCommand(VeskSuiteApp::veskMirrel, now(), 1));
    QCOMPARE(QDir(m_commands->commandsDirectory()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestSuiteCommandBus::ageLimit_data()
{
    QTest::addColumn<qint64>("ageMs");
    QTest::addColumn<double>("maxAge");
    QTest::addColumn<bool>("returned");

    QTest::newRow("exactly at the limit") << qint64(25000) << 25.0 << true;
    QTest::newRow("1 ms past the limit") << qint64(25001) << 25.0 << false;
    QTest::newRow("ahead by the limit") << qint64(-25000) << 25.0 << true;
    QTest::newRow("ahead beyond the limit") << qint64(-25001) << 25.0 << false;
}

void TestSuiteCommandBus::ageLimit()
{
    QFETCH(qint64, ageMs);
    QFETCH(double, maxAge);
    QFETCH(bool, returned);
    QVERIFY(m_commands->enqueue(envelope(VeskSuiteApp::veskSelbar, VeskSuiteCommandKind::selbarPlanDay, now())));
    const QDateTime readAt = now().addMSecs(ageMs);
    QCOMPARE(m_commands->peekPendingCommand(VeskSuiteApp::veskSelbar, readAt, maxAge).has_value(), returned);
    QVERIFY(QFileInfo::exists(m_commands->commandFilePath(VeskSuiteApp::veskSelbar)));
    QCOMPARE(m_commands->consumePendingCommand(VeskSuiteApp::veskSelbar, readAt, maxAge).has_value(), returned);
    // Consumed either way.
    QVERIFY(!QFileInfo::exists(m_commands->commandFilePath(VeskSuiteApp::veskSelbar)));
}

void TestSuiteCommandBus::badFiles_data()
{
    QTest::addColumn<QByteArray>("content");

    const QByteArray otherTarget = VeskSuiteJson::encode(
        *envelope(VeskSuiteApp::veskTrenik, VeskSuiteCommandKind::trenikToggleHud, now()).toJson());
    QTest::newRow("envelope for another target") << otherTarget;
    QTest::newRow("not an envelope") << QByteArray("{\"hello\":\"world\"}");
    QTest::newRow("not JSON") << QByteArray("mirrelThawAll");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("unknown kind")
        << QByteArray(otherTarget).replace("VeskTrenik", "VeskMirrel").replace("trenikToggleHud", "mirrelDance");
    QTest::newRow("lower-case app")
        << QByteArray(otherTarget).replace("\"VeskTrenik\"", "\"veskmirrel\"");
    QTest::newRow("id that is not a UUID") << QByteArray(otherTarget).replace("VeskTrenik", "VeskMirrel").replace(
        otherTarget.mid(otherTarget.indexOf("\"id\":\"") + 6, 36), "not-a-uuid");
}

void TestSuiteCommandBus::badFiles()
{
    QFETCH(QByteArray, content);
    const QString path = m_commands->commandFilePath(VeskSuiteApp::veskMirrel);
    QVERIFY(writeFile(path, content));
    QVERIFY(!m_commands->peekPendingCommand(VeskSuiteApp::veskMirrel, now(), 60));
    QCOMPARE(readFile(path), content);
    QVERIFY(!m_commands->consumePendingCommand(VeskSuiteApp::veskMirrel, now(), 60));
    QVERIFY(!QFileInfo::exists(path));
}

void TestSuiteCommandBus::twoConsumersTakeEveryCommandOnce()
{
    const QString path = m_commands->commandFilePath(VeskSuiteApp::veskTrenik);
    QAtomicInt sending = 1;
    QList<QUuid> sent, taken[2];
    const auto consume = [&](QList<QUuid> *ids) {
        for (bool last = false; !last;) {
            last = !sending.loadRelaxed();
            while (const auto command = m_commands->consumePendingCommand(VeskSuiteApp::veskTrenik, now(), 60))
                *ids << command->id;
        }
    };
    {
        const std::jthread first(consume, &taken[0]), second(consume, &taken[1]);
        // Each command is written as soon as the one before has been taken.
        while (sent.size() < 400) {
            const auto command = envelope(VeskSuiteApp::veskTrenik, VeskSuiteCommandKind::trenikToggleHud, now());
            while (QFileInfo::exists(path))
                std::this_thread::yield();
            sent << command.id;
            m_commands->enqueue(command);
        }
        sending.storeRelaxed(0);
    }
    const QList<QUuid> all = taken[0] + taken[1];
    QCOMPARE(all.size(), sent.size());
    QCOMPARE(QSet<QUuid>(all.begin(), all.end()), QSet<QUuid>(sent.begin(), sent.end()));
    QCOMPARE(QDir(m_commands->commandsDirectory()).entryList(QDir::Files | QDir::Hidden), QStringList());
}

void TestSuiteCommandBus::listenerPicksUpACommandWrittenBeforeIt()
{
    const VeskSuiteCommandEnvelope waiting = envelope(VeskSuiteApp::veskDovric, VeskSuiteCommandKind::dovricStartFocus,
                                                      QDateTime::currentDateTimeUtc());
    QVERIFY(m_commands->enqueue(waiting));

    QList<VeskSuiteCommandEnvelope> handled;
    QElapsedTimer clock;
    clock.start();
    qint64 handledAfterMs = -1;
    VeskSuiteObserverToken token = m_commands->startListening(VeskSuiteApp::veskDovric, [&](const auto &e) {
        handled << e;
        handledAfterMs = clock.elapsed();
    });
    // Never at once: the handler runs from the event loop after the delay.
    QVERIFY(handled.isEmpty());
    QTRY_COMPARE(handled.size(), 1);
    QCOMPARE(handled.first().id, QUuid(waiting.id));
    QVERIFY2(handledAfterMs >= 340, qPrintable(QString::number(handledAfterMs)));
    QVERIFY(!QFileInfo::exists(m_commands->commandFilePath(VeskSuiteApp::veskDovric)));
}

void TestSuiteCommandBus::listenerDropsStaleCommands()
{
    QVERIFY(m_commands->enqueue(envelope(VeskSuiteApp::veskDovric, VeskSuiteCommandKind::dovricStopFocus,
                                         QDateTime::currentDateTimeUtc().addSecs(-26))));
    int handled = 0;
    VeskSuiteObserverToken token =
        m_commands->startListening(VeskSuiteApp::veskDovric, [&](const VeskSuiteCommandEnvelope &) { ++handled; });
    QTRY_VERIFY(!QFileInfo::exists(m_commands->commandFilePath(VeskSuiteApp::veskDovric)));
    QTest::qWait(100);
    QCOMPARE(handled, 0);
}

void TestSuiteCommandBus::listenerStopsWhenTheBusIsGone()
{
    int handled = 0;
    VeskSuiteObserverToken token;
    {
        VeskSuiteCommandBus shortLived(m_home->filePath(QStringLiteral("base")));
        token = shortLived.startListening(VeskSuiteApp::veskQuenby, [&](const VeskSuiteCommandEnvelope &) { ++handled; });
    }
    QVERIFY(m_commands->enqueue(envelope(VeskSuiteApp::veskQuenby, VeskSuiteCommandKind::quenbyPlayPause,
                                         QDateTime::currentDateTimeUtc())));
    QVERIFY(SessionBusSignal::post(VeskSuiteCommandBus::notificationName(VeskSuiteApp::veskQuenby), std::nullopt));
    QTest::qWait(600);
    QCOMPARE(handled, 0);
    QVERIFY(QFileInfo::exists(m_commands->commandFilePath(VeskSuiteApp::veskQuenby)));
}

QTEST_MAIN(TestSuiteCommandBus)
#include "tst_suitecommandbus.moc"
