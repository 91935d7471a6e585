#include "VeskKit/Design/VeskBrandMark.h"
#include "VeskKit/Design/VeskBrandMarkGeometry.h"

#include <QPainter>
#include <QtTest>

Q_DECLARE_METATYPE(VeskBrandMarkStyle)

namespace {

QImage render(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

QImage suiteMark(int side)
{
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    VeskBrandMark::paintSuiteMark(painter, QSizeF(side, side));
    return image;
}

} // namespace

class TestVeskBrandMark : public QObject {
    Q_OBJECT
private slots:
    void init();
    void styleChoosesTheMark_data();
    void styleChoosesTheMark();
    void piecesAreClosedOctagonsInTheViewBox();
    void mapsViewBoxToCanvas_data();
    void mapsViewBoxToCanvas();
    void paintsPiecesOnly();
    void unresolvedCurrentAppDrawsTheSuiteMark();
};

void TestVeskBrandMark::init()
{
    QCoreApplication::setApplicationName(QStringLiteral("UnknownTool"));
}

void TestVeskBrandMark::styleChoosesTheMark_data()
{
    QTest::addColumn<VeskBrandMarkStyle>("style");
    QTest::addColumn<QString>("applicationName");
    QTest::addColumn<QString>("expected");

    QTest::newRow("current app resolved") << VeskBrandMarkStyle::currentApp() << "VeskZul" << "veskzul";
    QTest::newRow("current app unresolved") << VeskBrandMarkStyle::currentApp() << "UnknownTool" << "";
    QTest::newRow("app ignores the running one")
        << VeskBrandMarkStyle::app(VeskAppIdentity::veskAtlas) << "VeskZul" << "veskatlas";
    QTest::newRow("app without a running one")
        << VeskBrandMarkStyle::app(VeskAppIdentity::veskAtlas) << "UnknownTool" << "veskatlas";
    QTest::newRow("suite mark even when resolvable") << VeskBrandMarkStyle::briselSuite() << "VeskZul" << "";
}

void TestVeskBrandMark::styleChoosesTheMark()
{
    QFETCH(VeskBrandMarkStyle, style);
    QFETCH(QString, applicationName);
    QFETCH(QString, expected);
    QCoreApplication::setApplicationName(applicationName);
    const VeskBrandMark mark(24, style);
    const std::optional<VeskAppIdentity> identity = mark.resolvedIdentity();
    QCOMPARE(identity ? identity->rawValue() : QString(), expected);
}

void TestVeskBrandMark::piecesAreClosedOctagonsInTheViewBox()
{
    const auto &pieces = VeskBrandMarkGeometry::allPieces();
    QCOMPARE(pieces.size(), 3);
    QCOMPARE(pieces[0], VeskBrandMarkGeometry::topRightPiece());
    QCOMPARE(pieces[1], VeskBrandMarkGeometry::leftPiece());
    QCOMPARE(pieces[2], VeskBrandMarkGeometry::bottomRightPiece());
    for (const auto &piece : pieces) {
        QCOMPARE(piece.size(), 8);
        for (const QPointF &p : piece) {
            QVERIFY(p.x() >= 0 && p.x() <= 64);
            QVERIFY(p.y() >= 0 && p.y() <= 64);
        }
        const QPainterPath path = VeskBrandMarkGeometry::piecePath(piece, QSizeF(64, 64));
        QCOMPARE(path.elementCount(), 9); // moved to, seven lines, closed back
        QCOMPARE(QPointF(path.elementAt(8)), QPointF(path.elementAt(0)));
    }
    QVERIFY(VeskBrandMarkGeometry::piecePath({}, QSizeF(20, 20)).isEmpty());
}

void TestVeskBrandMark::mapsViewBoxToCanvas_data()
{
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<QSizeF>("canvas");
    QTest::addColumn<QPointF>("expected");
    QTest::newRow("centre of a 20 mark") << QPointF(32, 32) << QSizeF(20, 20) << QPointF(10, 10);
    QTest::newRow("far corner") << QPointF(64, 64) << QSizeF(24, 24) << QPointF(24, 24);
    QTest::newRow("scales apart") << QPointF(32, 16) << QSizeF(40, 20) << QPointF(20, 5);
}

void TestVeskBrandMark::mapsViewBoxToCanvas()
{
    QFETCH(QPointF, point);
    QFETCH(QSizeF, canvas);
    QFETCH(QPointF, expected);
    QCOMPARE(VeskBrandMarkGeometry::map(point, canvas), expected);
}

void TestVeskBrandMark::paintsPiecesOnly()
{
    const QImage image = suiteMark(64);
    // Inside each piece: light, opaque shading; its grey end sits bottom-right.
    const QPoint insideTopRight(44, 18), insideLeft(16, 32), insideBottomRight(48, 46);
    for (QPoint p : {insideTopRight, insideLeft, insideBottomRight}) {
        const QRgb px = image.pixel(p);
        QCOMPARE(qAlpha(px), 255);
        QVERIFY2(qRed(px) > 180 && qBlue(px) > 200, qPrintable(QString::number(px, 16)));
    }
    // Towards the bottom-right corner the shading turns to the cool grey stop.
    const QRgb greyEnd = image.pixel(50, 48);
    QVERIFY2(qBlue(greyEnd) - qRed(greyEnd) >= 3, qPrintable(QString::number(greyEnd, 16)));
    // Outside every piece nothing is painted.
    for (QPoint p : {QPoint(1, 1), QPoint(62, 62), QPoint(2, 62), QPoint(62, 30)})
        QCOMPARE(qAlpha(image.pixel(p)), 0);
}

void TestVeskBrandMark::unresolvedCurrentAppDrawsTheSuiteMark()
{
    VeskBrandMark current(20, VeskBrandMarkStyle::currentApp());
    QCOMPARE(current.size(), QSize(20, 20));
    VeskBrandMark suite(20, VeskBrandMarkStyle::briselSuite());
    const QImage currentImage = render(current);
    QCOMPARE(currentImage, render(suite));
    QCOMPARE(currentImage, suiteMark(20));

    VeskBrandMark app(20, VeskBrandMarkStyle::app(VeskAppIdentity::veskZul));
    QVERIFY(render(app) != currentImage);
}

QTEST_MAIN(TestVeskBrandMark)
#include "tst_veskbrandmark.moc"
