#include "VeskKit/System/VeskGlobalHotkeyManager.h"

#include "GlobalKeyGrabber.h"
#include "X11HotkeyGrabber.h"

#include <QJsonDocument>
#include <QtTest>

namespace {

// Stands in for the desktop: grants every chord not listed as taken and lets
// the test press chords.
class FakeGrabber : public GlobalKeyGrabber
{
public:
    struct Grab
    {
        quint32 keysym;
        quint32 modifiers;
    };

    bool isAvailable() const override { return true; }

    std::optional<quint64> grab(quint32 keysym, quint32 modifiers) override
    {
        for (const Grab& taken : std::as_const(takenByOthers)) {
            if (taken.keysym == keysym && taken.modifiers == modifiers)
                return std::nullopt;
        }
        const quint64 id = nextId++;
        grabs.insert(id, {keysym, modifiers});
        return id;
    }

    void ungrab(quint64 grabId) override { grabs.remove(grabId); }

    void press(quint32 keysym, quint32 modifiers)
    {
        const QList<quint64> ids = grabs.keys();
        for (quint64 id : ids) {
            const Grab& g = grabs.value(id);
            if (g.keysym == keysym && g.modifiers == modifiers)
                emit activated(id);
        }
    }

    QMap<quint64, Grab> grabs;
    QList<Grab> takenByOthers;
    quint64 nextId = 100;
};

constexpr quint32 keyN = 45;
constexpr quint32 keysymN = 'n';
constexpr quint32 ctrlAlt = GlobalKeyGrabber::Control | GlobalKeyGrabber::Alt;

} // namespace

class tst_GlobalHotkeyManager : public QObject
{
    Q_OBJECT

private slots:
    void descriptorDecoding_data();
    void descriptorDecoding();
    void descriptorRoundTripAndHash();

    void platformChord_data();
    void platformChord();

    void identifierSequence_data();
    void identifierSequence();
    void sameChordTwiceGetsTwoIdentifiersAndBothFire();
    void actionRunsAfterTheEventNotInsideIt();
    void foreignSignatureIsNotHandled();
    void pressAfterUnregisterRunsNothing();
    void unregisterBetweenEventAndDispatchWins();
    void managerOnlyHandlesItsOwnGrabs();
    void teardownReleasesGrabs();
    void noDisplayRefusesRegistration();
};

void tst_GlobalHotkeyManager::descriptorDecoding_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<quint32>("keyCode");
    QTest::addColumn<quint32>("modifiers");

    QTest::newRow("both keys") << QByteArray(R"({"keyCode":45,"carbonModifiers":2304})") << true << 45u << 2304u;
    QTest::newRow("extra key ignored") << QByteArray(R"({"keyCode":1,"carbonModifiers":0,"x":true})") << true << 1u << 0u;
    QTest::newRow("largest value") << QByteArray(R"({"keyCode":4294967295,"carbonModifiers":0})") << true
                                   << 4294967295u << 0u;
    QTest::newRow("missing modifiers") << QByteArray(R"({"keyCode":45})") << false << 0u << 0u;
    QTest::newRow("missing key code") << QByteArray(R"({"carbonModifiers":256})") << false << 0u << 0u;
    QTest::newRow("string number") << QByteArray(R"({"keyCode":"45","carbonModifiers":256})") << false << 0u << 0u;
    QTest::newRow("negative") << QByteArray(R"({"keyCode":-1,"carbonModifiers":256})") << false << 0u << 0u;
    QTest::newRow("fraction") << QByteArray(R"({"keyCode":4.5,"carbonModifiers":256})") << false << 0u << 0u;
    QTest::newRow("beyond 32 bits") << QByteArray(R"({"keyCode":4294967296,"carbonModifiers":0})") << false << 0u << 0u;
    QTest::newRow("null") << QByteArray(R"({"keyCode":null,"carbonModifiers":0})") << false << 0u << 0u;
}

void tst_GlobalHotkeyManager::descriptorDecoding()
{
    QFETCH(QByteArray, json);
    QFETCH(bool, valid);
    QFETCH(quint32, keyCode);
    QFETCH(quint32, modifiers);

    const auto descriptor = VeskHotkeyDescriptor::fromJson(QJsonDocument::fromJson(json).object());
    QCOMPARE(descriptor.has_value(), valid);
    if (valid) {
        QCOMPARE(descriptor->keyCode, keyCode);
        QCOMPARE(descriptor->carbonModifiers, modifiers);
    }
}

void tst_GlobalHotkeyManager::descriptorRoundTripAndHash()
{
    const VeskHotkeyDescriptor drawer{keyN, VeskHotkeyDescriptor::cmdOptionFlag};
    const QByteArray json = QJsonDocument(drawer.toJson()).toJson(QJsonDocument::Compact);
    QCOMPARE(json, QByteArray(R"({"carbonModifiers":2304,"keyCode":45})"));
    QCOMPARE(VeskHotkeyDescriptor::fromJson(drawer.toJson()), std::optional(drawer));

    const VeskHotkeyDescriptor sticky{keyN, VeskHotkeyDescriptor::cmdOptionFlag | VeskHotkeyDescriptor::shiftKey};
    QCOMPARE(sticky.carbonModifiers, 0xB00u);
    QVERIFY(drawer != sticky);
    QSet<VeskHotkeyDescriptor> set{drawer, sticky, drawer};
    QCOMPARE(set.size(), 2);
}

void tst_GlobalHotkeyManager::platformChord_data()
{
    QTest::addColumn<quint32>("keyCode");
    QTest::addColumn<quint32>("carbonModifiers");
    QTest::addColumn<bool>("mapped");
    QTest::addColumn<quint32>("keysym");
    QTest::addColumn<quint32>("modifiers");
    // The application's own shortcut for the same chord.
    QTest::addColumn<QKeyCombination>("keys");

    using G = GlobalKeyGrabber;
    QTest::newRow("drawer: option-command-N")
        << keyN << 0x900u << true << keysymN << quint32(G::Control | G::Alt) << (Qt::CTRL | Qt::ALT | Qt::Key_N);
    QTest::newRow("sticky: option-shift-command-N") << keyN << 0xB00u << true << keysymN
                                                    << quint32(G::Control | G::Alt | G::Shift)
                                                    << (Qt::CTRL | Qt::ALT | Qt::SHIFT | Qt::Key_N);
    QTest::newRow("control is super") << 0x00u << 0x1000u << true << quint32('a') << quint32(G::Super)
                                      << (Qt::META | Qt::Key_A);
    QTest::newRow("no modifiers") << 0x31u << 0u << true << 0x20u << 0u << QKeyCombination(Qt::Key_Space);
    QTest::newRow("digit 5") << 0x17u << 0x100u << true << quint32('5') << quint32(G::Control) << (Qt::CTRL | Qt::Key_5);
    QTest::newRow("F1") << 0x7Au << 0x800u << true << 0xffbeu << quint32(G::Alt) << (Qt::ALT | Qt::Key_F1);
    QTest::newRow("up arrow") << 0x7Eu << 0x200u << true << 0xff52u << quint32(G::Shift) << (Qt::SHIFT | Qt::Key_Up);
    QTest::newRow("unknown key code") << 0x0Au << 0x100u << false << 0u << 0u << (Qt::CTRL | Qt::Key_Exclam);
    QTest::newRow("caps lock bit") << keyN << 0x500u << false << 0u << 0u << QKeyCombination();
}

void tst_GlobalHotkeyManager::platformChord()
{
    QFETCH(quint32, keyCode);
    QFETCH(quint32, carbonModifiers);
    QFETCH(bool, mapped);
    QFETCH(quint32, keysym);
    QFETCH(quint32, modifiers);
    QFETCH(QKeyCombination, keys);

    FakeGrabber grabber;
    VeskGlobalHotkeyManager manager(&grabber);
    const auto id = manager.registerHotkey({keyCode, carbonModifiers}, [] {});
    QCOMPARE(id.has_value(), mapped);
    QCOMPARE(grabber.grabs.size(), mapped ? 1 : 0);
    if (mapped) {
        QCOMPARE(grabber.grabs.first().keysym, keysym);
        QCOMPARE(grabber.grabs.first().modifiers, modifiers);
    }
    QCOMPARE(VeskGlobalHotkeyManager::descriptorFor(keys),
             mapped ? std::optional(VeskHotkeyDescriptor{keyCode, carbonModifiers}) : std::nullopt);
}

void tst_GlobalHotkeyManager::identifierSequence_data()
{
    // Each step registers ("ok" or "taken") or calls unregisterAll ("all");
    // the expected identifier is 0 for a refusal.
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QList<quint32>>("expected");

    QTest::newRow("first is 1") << QStringList{"ok"} << QList<quint32>{1};
    QTest::newRow("refusal uses up an id") << QStringList{"taken", "ok"} << QList<quint32>{0, 2};
    QTest::newRow("gap after refusal") << QStringList{"ok", "taken", "ok"} << QList<quint32>{1, 0, 3};
    QTest::newRow("unregisterAll continues") << QStringList{"ok", "ok", "all", "ok"} << QList<quint32>{1, 2, 0, 3};
    QTest::newRow("refusal, all, ok") << QStringList{"taken", "all", "taken", "ok"} << QList<quint32>{0, 0, 0, 3};
}

void tst_GlobalHotkeyManager::identifierSequence()
{
    QFETCH(QStringList, steps);
    QFETCH(QList<quint32>, expected);

    FakeGrabber grabber;
    grabber.takenByOthers.append({'t', GlobalKeyGrabber::Control});
    VeskGlobalHotkeyManager manager(&grabber);
    const VeskHotkeyDescriptor free{keyN, VeskHotkeyDescriptor::cmdOptionFlag};
    const VeskHotkeyDescriptor taken{0x11, VeskHotkeyDescriptor::cmdKey}; // T

    QList<quint32> got;
    for (const QString& step : steps) {
        if (step == QLatin1String("all")) {
            manager.unregisterAll();
            QVERIFY(grabber.grabs.isEmpty());
            got.append(0);
            continue;
        }
        got.append(manager.registerHotkey(step == QLatin1String("ok") ? free : taken, [] {}).value_or(0));
    }
    QCOMPARE(got, expected);
}

void tst_GlobalHotkeyManager::sameChordTwiceGetsTwoIdentifiersAndBothFire()
{
    FakeGrabber grabber;
    VeskGlobalHotkeyManager manager(&grabber);
    QList<int> fired;
    const VeskHotkeyDescriptor chord{keyN, VeskHotkeyDescriptor::cmdOptionFlag};
    QCOMPARE(manager.registerHotkey(chord, [&] { fired.append(1); }), std::optional<quint32>(1));
    QCOMPARE(manager.registerHotkey(chord, [&] { fired.append(2); }), std::optional<quint32>(2));

    grabber.press(keysymN, ctrlAlt);
    QTRY_COMPARE(fired, (QList<int>{1, 2}));
}

void tst_GlobalHotkeyManager::actionRunsAfterTheEventNotInsideIt()
{
    FakeGrabber grabber;
    VeskGlobalHotkeyManager manager(&grabber);
    int count = 0;
    const auto id = manager.registerHotkey({keyN, VeskHotkeyDescriptor::cmdOptionFlag}, [&] { ++count; });
    QVERIFY(id);

    QVERIFY(manager.handleHotkeyEvent(VeskGlobalHotkeyManager::signature, *id));
    QCOMPARE(count, 0);
    QCoreApplication::processEvents();
    QCOMPARE(count, 1);
}

void tst_GlobalHotkeyManager::foreignSignatureIsNotHandled()
{
    FakeGrabber grabber;
    VeskGlobalHotkeyManager manager(&grabber);
    int count = 0;
    const auto id = manager.registerHotkey({keyN, VeskHotkeyDescriptor::cmdOptionFlag}, [&] { ++count; });
    QVERIFY(id);

    QCOMPARE(VeskGlobalHotkeyManager::signature, 0x5645534Bu);
    QVERIFY(!manager.handleHotkeyEvent(0x4B534556u, *id)); // "VESK" in the wrong byte order
    QVERIFY(!manager.handleHotkeyEvent(0, *id));
    QCoreApplication::processEvents();
    QCOMPARE(count, 0);
}

void tst_GlobalHotkeyManager::pressAfterUnregisterRunsNothing()
{
    FakeGrabber grabber;
    VeskGlobalHotkeyManager manager(&grabber);
    QList<int> fired;
    const auto first = manager.registerHotkey({keyN, VeskHotkeyDescriptor::cmdOptionFlag}, [&] { fired.append(1); });
    const auto second = manager.registerHotkey({keyN, 0xB00}, [&] { fired.append(2); });
    QVERIFY(first && second);

    manager.unregister(*first);
    QCOMPARE(grabber.grabs.size(), 1);
    manager.unregister(999); // unknown: nothing changes
    QCOMPARE(grabber.grabs.size(), 1);

    grabber.press(keysymN, ctrlAlt);
    grabber.press(keysymN, ctrlAlt | GlobalKeyGrabber::Shift);
    QTRY_COMPARE(fired, QList<int>{2});
}

void tst_GlobalHotkeyManager::unregisterBetweenEventAndDispatchWins()
{
    FakeGrabber grabber;
    VeskGlobalHotkeyManager manager(&grabber);
    int count = 0;
    const auto id = manager.registerHotkey({keyN, VeskHotkeyDescriptor::cmdOptionFlag}, [&] { ++count; });
    QVERIFY(id);

    grabber.press(keysymN, ctrlAlt);
    manager.unregister(*id);
    QCoreApplication::processEvents();
    QCOMPARE(count, 0);
}

void tst_GlobalHotkeyManager::managerOnlyHandlesItsOwnGrabs()
{
    FakeGrabber grabber;
    VeskGlobalHotkeyManager first(&grabber);
    VeskGlobalHotkeyManager second(&grabber);
    QList<QString> fired;
    // Both hand out identifier 1; a press must reach only the owner.
    QCOMPARE(first.registerHotkey({keyN, 0x900}, [&] { fired.append("first"); }), std::optional<quint32>(1));
    QCOMPARE(second.registerHotkey({0x2E, 0x900}, [&] { fired.append("second"); }), std::optional<quint32>(1));

    grabber.press('m', ctrlAlt);
    QTRY_COMPARE(fired, QList<QString>{"second"});
}

void tst_GlobalHotkeyManager::teardownReleasesGrabs()
{
    FakeGrabber grabber;
    {
        VeskGlobalHotkeyManager manager(&grabber);
        QVERIFY(manager.registerHotkey({keyN, 0x900}, [] {}));
        QVERIFY(manager.registerHotkey({keyN, 0xB00}, [] {}));
        QCOMPARE(grabber.grabs.size(), 2);
    }
    QVERIFY(grabber.grabs.isEmpty());
}

void tst_GlobalHotkeyManager::noDisplayRefusesRegistration()
{
    X11HotkeyGrabber nowhere(":987");
    QVERIFY(!nowhere.isAvailable());
    VeskGlobalHotkeyManager manager(&nowhere);
    QCOMPARE(manager.registerHotkey({keyN, 0x900}, [] {}), std::nullopt);
    QCOMPARE(manager.registerHotkey({keyN, 0xB00}, [] {}), std::nullopt);
}

QTEST_MAIN(tst_GlobalHotkeyManager)
#include "tst_globalhotkeymanager.moc"
