#include "Views/ZulScreenLayout.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTest>

Q_DECLARE_METATYPE(ZulScreenLayout)

class TestZulScreenLayout : public QObject
{
    Q_OBJECT

private slots:
    void flipsAboutThePrimaryBottom_data();
    void flipsAboutThePrimaryBottom();
    void pointerRowsBelongToOneScreen_data();
    void pointerRowsBelongToOneScreen();
    void mainVisibleFrameFallsBack_data();
    void mainVisibleFrameFallsBack();
    void currentLayoutMirrorsQtScreens();
    void roundsToWholeDevicePixels_data();
    void roundsToWholeDevicePixels();
};

void TestZulScreenLayout::flipsAboutThePrimaryBottom_data()
{
    QTest::addColumn<QRectF>("qtRect");
    QTest::addColumn<qreal>("axis");
    QTest::addColumn<QRectF>("bottomLeft");

    QTest::newRow("whole primary screen") << QRectF(0, 0, 1440, 900) << 900.0 << QRectF(0, 0, 1440, 900);
    QTest::newRow("panel below the top edge") << QRectF(100, 25, 340, 360) << 900.0 << QRectF(100, 515, 340, 360);
    QTest::newRow("touching the bottom edge") << QRectF(10, 800, 50, 100) << 900.0 << QRectF(10, 0, 50, 100);
    QTest::newRow("screen below the primary") << QRectF(0, 900, 1920, 1080) << 900.0 << QRectF(0, -1080, 1920, 1080);
    QTest::newRow("screen above the primary") << QRectF(0, -768, 1024, 768) << 900.0 << QRectF(0, 900, 1024, 768);
    QTest::newRow("primary not at the top") << QRectF(0, 300, 1440, 900) << 1200.0 << QRectF(0, 0, 1440, 900);
    QTest::newRow("fractional frame") << QRectF(12.5, 40.25, 300.5, 200.5) << 900.0
                                      << QRectF(12.5, 659.25, 300.5, 200.5);
}

void TestZulScreenLayout::flipsAboutThePrimaryBottom()
{
    QFETCH(QRectF, qtRect);
    QFETCH(qreal, axis);
    QFETCH(QRectF, bottomLeft);

    QCOMPARE(ZulScreenCoordinates::toBottomLeft(qtRect, axis), bottomLeft);
    QCOMPARE(ZulScreenCoordinates::toTopLeft(bottomLeft, axis), qtRect);
    // Each undoes the other.
    QCOMPARE(ZulScreenCoordinates::toTopLeft(ZulScreenCoordinates::toBottomLeft(qtRect, axis), axis), qtRect);
}

void TestZulScreenLayout::pointerRowsBelongToOneScreen_data()
{
    QTest::addColumn<QPointF>("qtPoint");
    QTest::addColumn<bool>("onTop");
    QTest::addColumn<bool>("onBelow");

    // Primary 0..900 in Qt rows, a second screen right below it.
    QTest::newRow("top row of the primary") << QPointF(10, 0) << true << false;
    QTest::newRow("last row of the primary") << QPointF(10, 899) << true << false;
    QTest::newRow("first row of the screen below") << QPointF(10, 900) << false << true;
    QTest::newRow("last column is outside") << QPointF(1440, 10) << false << false;
    QTest::newRow("first column is inside") << QPointF(0, 10) << true << false;
}

void TestZulScreenLayout::pointerRowsBelongToOneScreen()
{
    QFETCH(QPointF, qtPoint);
    QFETCH(bool, onTop);
    QFETCH(bool, onBelow);

    const qreal axis = 900;
    const QRectF top = ZulScreenCoordinates::toBottomLeft(QRectF(0, 0, 1440, 900), axis);
    const QRectF below = ZulScreenCoordinates::toBottomLeft(QRectF(0, 900, 1440, 900), axis);
    const QPointF point = ZulScreenCoordinates::pointToBottomLeft(qtPoint, axis);
    QCOMPARE(ZulScreenCoordinates::containsPointer(top, point), onTop);
    QCOMPARE(ZulScreenCoordinates::containsPointer(below, point), onBelow);
}

void TestZulScreenLayout::mainVisibleFrameFallsBack_data()
{
    QTest::addColumn<ZulScreenLayout>("layout");
    QTest::addColumn<QRectF>("expected");

    const ZulScreenFrames first{QRectF(0, 0, 1440, 900), QRectF(0, 0, 1440, 875)};
    const ZulScreenFrames second{QRectF(1440, 0, 1920, 1080), QRectF(1440, 0, 1920, 1050)};

    QTest::newRow("no screen") << ZulScreenLayout{} << QRectF(0, 0, 1440, 900);
    QTest::newRow("main screen named") << ZulScreenLayout{{first, second}, 1, 900} << second.visibleFrame;
    QTest::newRow("no main screen") << ZulScreenLayout{{first, second}, std::nullopt, 900} << first.visibleFrame;
    QTest::newRow("main index out of range") << ZulScreenLayout{{first}, 3, 900} << first.visibleFrame;
}

void TestZulScreenLayout::mainVisibleFrameFallsBack()
{
    QFETCH(ZulScreenLayout, layout);
    QFETCH(QRectF, expected);
    QCOMPARE(layout.mainVisibleFrame(), expected);
}

void TestZulScreenLayout::currentLayoutMirrorsQtScreens()
{
    QScreen *primary = QGuiApplication::primaryScreen();
    QVERIFY(primary);
    const ZulScreenLayout layout = ZulScreenLayout::current();
    QCOMPARE(layout.screens.size(), QGuiApplication::screens().size());
    QCOMPARE(layout.flipAxis, qreal(primary->geometry().y() + primary->geometry().height()));
    // The primary screen sits at the origin of the mirrored form.
    QCOMPARE(layout.screens.first().frame.topLeft(), QPointF(primary->geometry().x(), 0));
    QCOMPARE(ZulScreenCoordinates::toTopLeft(layout.screens.first().visibleFrame, layout.flipAxis),
             QRectF(primary->availableGeometry()));
    QVERIFY(layout.mainIndex.has_value());
}

void TestZulScreenLayout::roundsToWholeDevicePixels_data()
{
    QTest::addColumn<QRectF>("device");
    QTest::addColumn<bool>("outward");
    QTest::addColumn<int>("anchored");
    QTest::addColumn<int>("increment");
    QTest::addColumn<QRect>("expected");

    // The handle's 18 points at the right edge of a 2880-pixel screen at
    // 150 %: 27 pixels, which the window manager would cut to 26 in its steps
    // of two, from the edge's side.
    QTest::newRow("150 %, at the right edge") << QRectF(2853, 816, 27, 168) << true << int(Qt::RightEdge) << 2
                                              << QRect(2852, 816, 28, 168);
    QTest::newRow("150 %, at the left edge") << QRectF(0, 816, 27, 168) << true << int(Qt::LeftEdge) << 2
                                             << QRect(0, 816, 28, 168);
    QTest::newRow("125 %, between pixels") << QRectF(2857.5, 492.5, 22.5, 140) << true << int(Qt::RightEdge) << 1
                                           << QRect(2857, 492, 23, 141);
    // A sticky the window manager left on an odd pixel at 200 %.
    QTest::newRow("200 %, an odd pixel kept") << QRectF(601, 615, 680, 720) << false << 0 << 2
                                              << QRect(601, 615, 680, 720);
    QTest::newRow("nearest pixel") << QRectF(600.6, 614.4, 510.2, 539.6) << false << 0 << 1
                                   << QRect(601, 614, 510, 540);
}

void TestZulScreenLayout::roundsToWholeDevicePixels()
{
    QFETCH(QRectF, device);
    QFETCH(bool, outward);
    QFETCH(int, anchored);
    QFETCH(int, increment);
    QFETCH(QRect, expected);
    QCOMPARE(ZulScreenCoordinates::wholeDevicePixels(device, outward, Qt::Edges(anchored), QSize(increment, increment)),
             expected);
}

QTEST_MAIN(TestZulScreenLayout)
#include "tst_zulscreenlayout.moc"
