#include "Views/ZulPanelCornerMask.h"

#include <QTest>

// The mask that stands in for transparent corners where nothing composites:
// the corners are gone, the edges between them and the inside stay.
class TestZulPanelCornerMask : public QObject
{
    Q_OBJECT

private slots:
    void roundedRegion_data();
    void roundedRegion();
    void emptySizeGivesEmptyRegion();
};

void TestZulPanelCornerMask::roundedRegion_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qreal>("radius");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("kept");

    const QSize sticky(340, 360);
    QTest::newRow("sticky top-left corner") << sticky << 15.0 << QPoint(0, 0) << false;
    QTest::newRow("sticky near top-left corner") << sticky << 15.0 << QPoint(3, 3) << false;
    QTest::newRow("sticky inside the top-left arc") << sticky << 15.0 << QPoint(6, 6) << true;
    QTest::newRow("sticky top-right corner") << sticky << 15.0 << QPoint(339, 0) << false;
    QTest::newRow("sticky bottom-right corner") << sticky << 15.0 << QPoint(339, 359) << false;
    QTest::newRow("sticky bottom-left corner") << sticky << 15.0 << QPoint(0, 359) << false;
    QTest::newRow("sticky top edge middle") << sticky << 15.0 << QPoint(170, 0) << true;
    QTest::newRow("sticky left edge middle") << sticky << 15.0 << QPoint(0, 180) << true;
    QTest::newRow("sticky right edge middle") << sticky << 15.0 << QPoint(339, 180) << true;
    QTest::newRow("sticky bottom edge middle") << sticky << 15.0 << QPoint(170, 359) << true;
    QTest::newRow("collapsed sticky title strip") << QSize(340, 44) << 15.0 << QPoint(170, 22) << true;
    QTest::newRow("collapsed sticky corner") << QSize(340, 44) << 15.0 << QPoint(1, 43) << false;
    QTest::newRow("popover corner") << QSize(316, 380) << 12.0 << QPoint(315, 1) << false;
    QTest::newRow("no radius keeps the corner") << QSize(100, 100) << 0.0 << QPoint(0, 0) << true;
}

void TestZulPanelCornerMask::roundedRegion()
{
    QFETCH(QSize, size);
    QFETCH(qreal, radius);
    QFETCH(QPoint, point);
    QFETCH(bool, kept);

    const QRegion region = ZulPanelCornerMask::roundedRegion(size, radius);
    QCOMPARE(region.contains(point), kept);
    QVERIFY(QRect(QPoint(0, 0), size).contains(region.boundingRect()));
}

void TestZulPanelCornerMask::emptySizeGivesEmptyRegion()
{
    QVERIFY(ZulPanelCornerMask::roundedRegion(QSize(0, 44), 15).isEmpty());
}

QTEST_MAIN(TestZulPanelCornerMask)
#include "tst_zulpanelcornermask.moc"
