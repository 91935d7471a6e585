// Real key grabs against a private X server. CTest runs this under xvfb-run
// (tst_x11hotkeys_xvfb) with VESK_TEST_X11=1; without that every case skips,
// so a plain run never grabs keys on a developer's own desktop.

#include "VeskKit/System/VeskGlobalHotkeyManager.h"
#include "VeskKit/System/VeskPermissionCenter.h"

#include "X11HotkeyGrabber.h"

#include <QProcess>
#include <QtTest>

namespace {

constexpr quint32 keyN = 45;
constexpr quint32 keyM = 0x2E;
const VeskHotkeyDescriptor drawerChord{keyN, VeskHotkeyDescriptor::cmdOptionFlag};
const VeskHotkeyDescriptor stickyChord{keyN, VeskHotkeyDescriptor::cmdOptionFlag | VeskHotkeyDescriptor::shiftKey};

bool press(const QString& chord)
{
    return QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("key"), chord}) == 0;
}

} // namespace

class tst_X11Hotkeys : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void chordsFireOnlyTheirOwnAction_data();
    void chordsFireOnlyTheirOwnAction();
    void lockKeysDoNotMatter();
    void chordHeldByAnotherClientIsRefused();
    void unregisteredChordNoLongerFires();
    void permissionsFollowTheDisplay();

private:
    void toggle(const QString& lockKey);

    QStringList m_fired;
    // Lock keys a failed case left switched on, switched off again afterwards
    // so one failure does not spill into the next case.
    QStringList m_lockedKeys;
};

void tst_X11Hotkeys::initTestCase()
{
    if (qEnvironmentVariable("VESK_TEST_X11") != QLatin1String("1"))
        QSKIP("needs a private X server; CTest runs it as tst_x11hotkeys_xvfb");
    QVERIFY(!qEnvironmentVariableIsEmpty("DISPLAY"));
    QVERIFY(X11HotkeyGrabber::shared()->isAvailable());
}

void tst_X11Hotkeys::cleanup()
{
    for (const QString& key : std::exchange(m_lockedKeys, {}))
        press(key);
}

void tst_X11Hotkeys::toggle(const QString& lockKey)
{
    QVERIFY(press(lockKey));
    if (!m_lockedKeys.removeOne(lockKey))
        m_lockedKeys.append(lockKey);
}

void tst_X11Hotkeys::chordsFireOnlyTheirOwnAction_data()
{
    // Each row presses `decoy` first and then `chord`; X delivers key events
    // in order, so once the chord's action has run, a decoy that fired would
    // already have shown up too.
    QTest::addColumn<QString>("decoy");
    QTest::addColumn<QString>("chord");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("ctrl+alt+n toggles the drawer")
        << QString() << QStringLiteral("ctrl+alt+n") << QStringList{"drawer"};
    QTest::newRow("ctrl+alt+shift+n makes a sticky")
        << QString() << QStringLiteral("ctrl+alt+shift+n") << QStringList{"sticky"};
    QTest::newRow("other letter does not fire")
        << QStringLiteral("ctrl+alt+m") << QStringLiteral("ctrl+alt+n") << QStringList{"drawer"};
    QTest::newRow("missing modifier does not fire")
        << QStringLiteral("ctrl+n") << QStringLiteral("ctrl+alt+n") << QStringList{"drawer"};
    QTest::newRow("super is not alt")
        << QStringLiteral("ctrl+super+n") << QStringLiteral("ctrl+alt+shift+n") << QStringList{"sticky"};
    QTest::newRow("extra modifier does not fire")
        << QStringLiteral("ctrl+alt+super+n") << QStringLiteral("ctrl+alt+n") << QStringList{"drawer"};
}

void tst_X11Hotkeys::chordsFireOnlyTheirOwnAction()
{
    QFETCH(QString, decoy);
    QFETCH(QString, chord);
    QFETCH(QStringList, expected);

    VeskGlobalHotkeyManager manager;
    m_fired.clear();
    QVERIFY(manager.registerHotkey(drawerChord, [this] { m_fired.append("drawer"); }));
    QVERIFY(manager.registerHotkey(stickyChord, [this] { m_fired.append("sticky"); }));

    if (!decoy.isEmpty())
        QVERIFY(press(decoy));
    QVERIFY(press(chord));
    QTRY_COMPARE_WITH_TIMEOUT(m_fired, expected, 10000);
}

void tst_X11Hotkeys::lockKeysDoNotMatter()
{
    VeskGlobalHotkeyManager manager;
    int count = 0;
    QVERIFY(manager.registerHotkey(drawerChord, [&] { ++count; }));

    toggle(QStringLiteral("Num_Lock"));
    QVERIFY(press(QStringLiteral("ctrl+alt+n")));
    QTRY_COMPARE_WITH_TIMEOUT(count, 1, 10000);
    toggle(QStringLiteral("Caps_Lock"));
    QVERIFY(press(QStringLiteral("ctrl+alt+n")));
    QTRY_COMPARE_WITH_TIMEOUT(count, 2, 10000);
    toggle(QStringLiteral("Num_Lock"));
    QVERIFY(press(QStringLiteral("ctrl+alt+n")));
    QTRY_COMPARE_WITH_TIMEOUT(count, 3, 10000);
    toggle(QStringLiteral("Caps_Lock"));
}

void tst_X11Hotkeys::chordHeldByAnotherClientIsRefused()
{
    auto other = std::make_unique<X11HotkeyGrabber>();
    QVERIFY(other->isAvailable());
    int otherCount = 0;
    connect(other.get(), &GlobalKeyGrabber::activated, this, [&] { ++otherCount; });
    QVERIFY(other->grab('n', GlobalKeyGrabber::Control | GlobalKeyGrabber::Alt));

    VeskGlobalHotkeyManager manager;
    int count = 0;
    QCOMPARE(manager.registerHotkey(drawerChord, [&] { ++count; }), std::nullopt);
    // The refused grab must not have taken the other client's chord away.
    QVERIFY(press(QStringLiteral("ctrl+alt+n")));
    QTRY_COMPARE_WITH_TIMEOUT(otherCount, 1, 10000);

    other.reset();
    const auto id = manager.registerHotkey(drawerChord, [&] { ++count; });
    QCOMPARE(id, std::optional<quint32>(2));
    QVERIFY(press(QStringLiteral("ctrl+alt+n")));
    QTRY_COMPARE_WITH_TIMEOUT(count, 1, 10000);
    QCOMPARE(otherCount, 1);
}

void tst_X11Hotkeys::unregisteredChordNoLongerFires()
{
    VeskGlobalHotkeyManager manager;
    QStringList fired;
    const auto drawer = manager.registerHotkey(drawerChord, [&] { fired.append("drawer"); });
    QVERIFY(drawer);
    QVERIFY(manager.registerHotkey({keyM, VeskHotkeyDescriptor::cmdOptionFlag}, [&] { fired.append("m"); }));
    manager.unregister(*drawer);

    QVERIFY(press(QStringLiteral("ctrl+alt+n")));
    QVERIFY(press(QStringLiteral("ctrl+alt+m")));
    QTRY_COMPARE_WITH_TIMEOUT(fired, QStringList{"m"}, 10000);

    // Released for good: another client can take it now.
    X11HotkeyGrabber other;
    QVERIFY(other.grab('n', GlobalKeyGrabber::Control | GlobalKeyGrabber::Alt));
}

void tst_X11Hotkeys::permissionsFollowTheDisplay()
{
    QVERIFY(VeskPermissionCenter::isAccessibilityGranted(false));
    QVERIFY(VeskPermissionCenter::isScreenRecordingGranted());
}

QTEST_MAIN(tst_X11Hotkeys)
#include "tst_x11hotkeys.moc"
