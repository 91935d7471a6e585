#include "Views/FloatingStickyGeometry.h"

#include <QTest>

Q_DECLARE_METATYPE(ZulScreenLayout)
Q_DECLARE_METATYPE(std::optional<QRectF>)

namespace {

// One 1440 × 900 screen whose top 25 points belong to a menu bar.
const ZulScreenFrames kPrimary{QRectF(0, 0, 1440, 900), QRectF(0, 0, 1440, 875)};
const ZulScreenFrames kRightOfIt{QRectF(1440, 0, 1920, 1080), QRectF(1440, 0, 1920, 1080)};

ZulScreenLayout oneScreen()
{
    return ZulScreenLayout{{kPrimary}, 0, 900};
}

ZulScreenLayout twoScreens()
{
    return ZulScreenLayout{{kPrimary, kRightOfIt}, 0, 900};
}

} // namespace

class TestFloatingStickyGeometry : public QObject
{
    Q_OBJECT

private slots:
    void cascade_data();
    void cascade();
    void storedFrames_data();
    void storedFrames();
    void collapseAndExpand_data();
    void collapseAndExpand();
};

void TestFloatingStickyGeometry::cascade_data()
{
    QTest::addColumn<ZulScreenLayout>("layout");
    QTest::addColumn<int>("openPanels");
    QTest::addColumn<QRectF>("expected");

    // Visible frame 0,0 1440 × 875: the first place is 382 in from the right
    // and 406 down from the top.
    QTest::newRow("first") << oneScreen() << 0 << QRectF(1058, 469, 340, 360);
    QTest::newRow("second") << oneScreen() << 1 << QRectF(1030, 441, 340, 360);
    QTest::newRow("sixth, 140 further") << oneScreen() << 5 << QRectF(918, 329, 340, 360);
    QTest::newRow("seventh wraps to the first") << oneScreen() << 6 << QRectF(1058, 469, 340, 360);
    QTest::newRow("eighth wraps to the second") << oneScreen() << 7 << QRectF(1030, 441, 340, 360);
    QTest::newRow("no screen") << ZulScreenLayout{} << 0 << QRectF(1058, 494, 340, 360);
    QTest::newRow("no screen, sixth") << ZulScreenLayout{} << 5 << QRectF(918, 354, 340, 360);
    const ZulScreenLayout small{{{QRectF(0, 0, 500, 500), QRectF(10, 30, 400, 420)}}, 0, 500};
    QTest::newRow("small frame floors at 20 in") << small << 0 << QRectF(30, 50, 340, 360);
    QTest::newRow("small frame, cascaded, still floored") << small << 4 << QRectF(30, 50, 340, 360);
    const ZulScreenLayout narrow{{{QRectF(0, 0, 500, 1200), QRectF(0, 0, 500, 1200)}}, 0, 1200};
    QTest::newRow("only x hits the floor") << narrow << 5 << QRectF(20, 654, 340, 360);
    ZulScreenLayout secondMain = twoScreens();
    secondMain.mainIndex = 1;
    QTest::newRow("main screen decides") << secondMain << 0 << QRectF(2978, 674, 340, 360);
}

void TestFloatingStickyGeometry::cascade()
{
    QFETCH(ZulScreenLayout, layout);
    QFETCH(int, openPanels);
    QFETCH(QRectF, expected);
    QCOMPARE(FloatingStickyGeometry::cascadedFrame(layout, openPanels), expected);
    QCOMPARE(FloatingStickyGeometry::resolvedInitialFrame(std::nullopt, layout, openPanels), expected);
}

void TestFloatingStickyGeometry::storedFrames_data()
{
    QTest::addColumn<ZulScreenLayout>("layout");
    QTest::addColumn<QRectF>("stored");
    QTest::addColumn<bool>("reused");

    QTest::newRow("ordinary frame") << oneScreen() << QRectF(200, 300, 340, 360) << true;
    QTest::newRow("239 wide is too small") << oneScreen() << QRectF(200, 300, 239, 400) << false;
    QTest::newRow("179 high is too small") << oneScreen() << QRectF(200, 300, 400, 179) << false;
    QTest::newRow("240 x 180 is enough") << oneScreen() << QRectF(200, 300, 240, 180) << true;
    QTest::newRow("origin 80 left of the screen") << oneScreen() << QRectF(-80, 300, 240, 180) << true;
    QTest::newRow("origin 81 left of the screen") << oneScreen() << QRectF(-81, 300, 240, 180) << false;
    QTest::newRow("origin 80 below the screen") << oneScreen() << QRectF(100, -80, 240, 180) << true;
    QTest::newRow("origin 81 below the screen") << oneScreen() << QRectF(100, -81, 240, 180) << false;
    QTest::newRow("on the second screen") << twoScreens() << QRectF(2000, 500, 340, 360) << true;
    QTest::newRow("second screen gone") << oneScreen() << QRectF(2000, 500, 340, 360) << false;
    // Origin within the 80-point slack, yet the panel would open out of reach.
    QTest::newRow("origin in the slack right of the screen") << oneScreen() << QRectF(1480, 300, 340, 360) << false;
    QTest::newRow("origin in the slack above the screen") << oneScreen() << QRectF(300, 940, 340, 360) << false;
    QTest::newRow("title strip under the menu bar") << oneScreen() << QRectF(300, 860, 340, 360) << false;
    QTest::newRow("title strip just reachable at the right edge")
        << oneScreen() << QRectF(1396, 300, 340, 360) << true;
    QTest::newRow("title strip 43 points on screen") << oneScreen() << QRectF(1397, 300, 340, 360) << false;
    QTest::newRow("not a number") << oneScreen() << QRectF(qQNaN(), 300, 340, 360) << false;
    QTest::newRow("no screen at all") << ZulScreenLayout{} << QRectF(200, 300, 340, 360) << false;
}

void TestFloatingStickyGeometry::storedFrames()
{
    QFETCH(ZulScreenLayout, layout);
    QFETCH(QRectF, stored);
    QFETCH(bool, reused);

    QCOMPARE(FloatingStickyGeometry::isUsableStoredFrame(stored, layout), reused);
    const QRectF resolved = FloatingStickyGeometry::resolvedInitialFrame(stored, layout, 2);
    if (reused)
        QCOMPARE(resolved, stored); // as stored: neither clamped nor resized
    else
        QCOMPARE(resolved, FloatingStickyGeometry::cascadedFrame(layout, 2));
}

void TestFloatingStickyGeometry::collapseAndExpand_data()
{
    QTest::addColumn<QRectF>("frame");
    QTest::addColumn<QRectF>("collapsed");
    QTest::addColumn<qreal>("remembered");
    QTest::addColumn<QRectF>("expanded");

    // Top edge at 900 in every row.
    QTest::newRow("300 high") << QRectF(40, 600, 340, 300) << QRectF(40, 856, 340, 44) << 300.0
                              << QRectF(40, 600, 340, 300);
    QTest::newRow("resized to 200 comes back at 240") << QRectF(40, 700, 300, 200) << QRectF(40, 856, 300, 44)
                                                      << 240.0 << QRectF(40, 660, 300, 240);
    QTest::newRow("exactly 240") << QRectF(0, 660, 500, 240) << QRectF(0, 856, 500, 44) << 240.0
                                 << QRectF(0, 660, 500, 240);
    QTest::newRow("tall panel") << QRectF(-20, 0, 780, 900) << QRectF(-20, 856, 780, 44) << 900.0
                                << QRectF(-20, 0, 780, 900);
}

void TestFloatingStickyGeometry::collapseAndExpand()
{
    QFETCH(QRectF, frame);
    QFETCH(QRectF, collapsed);
    QFETCH(qreal, remembered);
    QFETCH(QRectF, expanded);

    QCOMPARE(FloatingStickyGeometry::collapsedFrame(frame), collapsed);
    QCOMPARE(FloatingStickyGeometry::heightToRestore(frame.height()), remembered);
    QCOMPARE(FloatingStickyGeometry::expandedFrame(collapsed, remembered, oneScreen()), expanded);
    // Expanding below the floor still gives 240.
    QCOMPARE(FloatingStickyGeometry::expandedFrame(collapsed, 100, oneScreen()).height(), 240.0);
}

QTEST_MAIN(TestFloatingStickyGeometry)
#include "tst_floatingstickygeometry.moc"
