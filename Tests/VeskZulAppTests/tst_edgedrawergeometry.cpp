#include "Views/EdgeDrawerGeometry.h"

#include <QTest>

Q_DECLARE_METATYPE(ZulEdgeSide)
Q_DECLARE_METATYPE(ZulScreenLayout)
Q_DECLARE_METATYPE(std::optional<QPointF>)

namespace {

const QRectF kScreen(0, 0, 1440, 900);
// A menu bar's worth of the top taken away.
const QRectF kVisible(0, 0, 1440, 875);
const QRectF kSecondScreen(1440, -180, 1920, 1080);
const QRectF kSecondVisible(1440, -150, 1920, 1050);

ZulScreenLayout twoScreens()
{
    return ZulScreenLayout{{{kScreen, kVisible}, {kSecondScreen, kSecondVisible}}, 0, 900};
}

} // namespace

class TestEdgeDrawerGeometry : public QObject
{
    Q_OBJECT

private slots:
    void drawerFrames_data();
    void drawerFrames();
    void handleFrames_data();
    void handleFrames();
    void activeVisibleFrame_data();
    void activeVisibleFrame();
    void closedDrawerLiesOffTheVisibleFrame_data();
    void closedDrawerLiesOffTheVisibleFrame();
};

void TestEdgeDrawerGeometry::drawerFrames_data()
{
    QTest::addColumn<QRectF>("visible");
    QTest::addColumn<ZulEdgeSide>("side");
    QTest::addColumn<bool>("open");
    QTest::addColumn<QRectF>("expected");

    const QRectF noScreen(0, 0, 1440, 900);
    QTest::newRow("no screen, open, right") << noScreen << ZulEdgeSide::right << true << QRectF(1054, 14, 380, 872);
    QTest::newRow("no screen, open, left") << noScreen << ZulEdgeSide::left << true << QRectF(6, 14, 380, 872);
    QTest::newRow("no screen, closed, right") << noScreen << ZulEdgeSide::right << false
                                              << QRectF(1452, 14, 380, 872);
    QTest::newRow("no screen, closed, left") << noScreen << ZulEdgeSide::left << false
                                             << QRectF(-392, 14, 380, 872);
    const QRectF offset(100, 50, 1000, 700);
    QTest::newRow("offset frame, open, right") << offset << ZulEdgeSide::right << true << QRectF(714, 64, 380, 672);
    QTest::newRow("offset frame, closed, left") << offset << ZulEdgeSide::left << false
                                                << QRectF(-292, 64, 380, 672);
    // 400 high: the drawer keeps 480 and starts 14 above the bottom.
    const QRectF low(0, 200, 1440, 400);
    QTest::newRow("short frame, open, right") << low << ZulEdgeSide::right << true << QRectF(1054, 214, 380, 480);
    QTest::newRow("short frame, closed, left") << low << ZulEdgeSide::left << false << QRectF(-392, 214, 380, 480);
    QTest::newRow("exactly 508 high") << QRectF(0, 0, 1440, 508) << ZulEdgeSide::right << true
                                      << QRectF(1054, 14, 380, 480);
}

void TestEdgeDrawerGeometry::drawerFrames()
{
    QFETCH(QRectF, visible);
    QFETCH(ZulEdgeSide, side);
    QFETCH(bool, open);
    QFETCH(QRectF, expected);
    QCOMPARE(EdgeDrawerGeometry::drawerFrame(visible, side, open), expected);
}

void TestEdgeDrawerGeometry::handleFrames_data()
{
    QTest::addColumn<QRectF>("visible");
    QTest::addColumn<ZulEdgeSide>("side");
    QTest::addColumn<bool>("drawerOpen");
    QTest::addColumn<QRectF>("expected");

    const QRectF noScreen(0, 0, 1440, 900);
    QTest::newRow("no screen, closed, right") << noScreen << ZulEdgeSide::right << false
                                              << QRectF(1422, 394, 18, 112);
    QTest::newRow("no screen, closed, left") << noScreen << ZulEdgeSide::left << false << QRectF(0, 394, 18, 112);
    QTest::newRow("no screen, open, right") << noScreen << ZulEdgeSide::right << true
                                            << QRectF(1034, 394, 18, 112);
    QTest::newRow("no screen, open, left") << noScreen << ZulEdgeSide::left << true << QRectF(388, 394, 18, 112);
    QTest::newRow("second screen, closed, left") << kSecondVisible << ZulEdgeSide::left << false
                                                 << QRectF(1440, 319, 18, 112);
    QTest::newRow("odd height keeps the half point") << QRectF(0, 0, 1440, 875) << ZulEdgeSide::right << false
                                                     << QRectF(1422, 381.5, 18, 112);
}

void TestEdgeDrawerGeometry::handleFrames()
{
    QFETCH(QRectF, visible);
    QFETCH(ZulEdgeSide, side);
    QFETCH(bool, drawerOpen);
    QFETCH(QRectF, expected);
    const QRectF handle = EdgeDrawerGeometry::handleFrame(visible, side, drawerOpen);
    QCOMPARE(handle, expected);
    if (drawerOpen) {
        // Two points clear of the drawer's inner side, on the screen side of nothing.
        const QRectF drawer = EdgeDrawerGeometry::drawerFrame(visible, side, true);
        const qreal gap = side == ZulEdgeSide::left ? handle.left() - drawer.right() : drawer.left() - handle.right();
        QCOMPARE(gap, 2.0);
    }
}

void TestEdgeDrawerGeometry::activeVisibleFrame_data()
{
    QTest::addColumn<ZulScreenLayout>("layout");
    QTest::addColumn<std::optional<QPointF>>("pointer");
    QTest::addColumn<QRectF>("expected");

    QTest::newRow("pointer on the primary") << twoScreens() << std::optional<QPointF>(QPointF(700, 450)) << kVisible;
    QTest::newRow("pointer on the second") << twoScreens() << std::optional<QPointF>(QPointF(2000, 0))
                                           << kSecondVisible;
    QTest::newRow("pointer in the menu bar still picks its screen")
        << twoScreens() << std::optional<QPointF>(QPointF(700, 890)) << kVisible;
    QTest::newRow("pointer between screens: the main one")
        << twoScreens() << std::optional<QPointF>(QPointF(700, 2000)) << kVisible;
    ZulScreenLayout secondIsMain = twoScreens();
    secondIsMain.mainIndex = 1;
    QTest::newRow("no pointer: the main screen") << secondIsMain << std::optional<QPointF>() << kSecondVisible;
    QTest::newRow("no main: the first screen")
        << ZulScreenLayout{twoScreens().screens, std::nullopt, 900} << std::optional<QPointF>() << kVisible;
    QTest::newRow("no screen at all") << ZulScreenLayout{} << std::optional<QPointF>(QPointF(5, 5))
                                      << QRectF(0, 0, 1440, 900);
}

void TestEdgeDrawerGeometry::activeVisibleFrame()
{
    QFETCH(ZulScreenLayout, layout);
    QFETCH(std::optional<QPointF>, pointer);
    QFETCH(QRectF, expected);
    QCOMPARE(layout.visibleFrameAt(pointer), expected);
}

void TestEdgeDrawerGeometry::closedDrawerLiesOffTheVisibleFrame_data()
{
    QTest::addColumn<ZulEdgeSide>("side");
    QTest::newRow("right") << ZulEdgeSide::right;
    QTest::newRow("left") << ZulEdgeSide::left;
}

void TestEdgeDrawerGeometry::closedDrawerLiesOffTheVisibleFrame()
{
    QFETCH(ZulEdgeSide, side);
    const QRectF closed = EdgeDrawerGeometry::drawerFrame(kVisible, side, false);
    QVERIFY(!closed.intersects(kVisible));
    const qreal beyond = side == ZulEdgeSide::left ? kVisible.left() - closed.right() : closed.left() - kVisible.right();
    QCOMPARE(beyond, 12.0);
    // Opening only moves it across.
    const QRectF open = EdgeDrawerGeometry::drawerFrame(kVisible, side, true);
    QCOMPARE(open.size(), closed.size());
    QCOMPARE(open.top(), closed.top());
    QVERIFY(kVisible.contains(open));
}

QTEST_MAIN(TestEdgeDrawerGeometry)
#include "tst_edgedrawergeometry.moc"
