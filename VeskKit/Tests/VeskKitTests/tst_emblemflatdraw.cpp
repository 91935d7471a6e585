#include "VeskKit/Design/Emblems/VeskFlatDraw.h"

#include <QPainter>
#include <QPainterPath>
#include <QtTest>

#include <functional>

using DrawStep = std::function<void(QPainter &)>;
Q_DECLARE_METATYPE(DrawStep)

namespace {

const QColor flatPrimary(200, 40, 60);
const QColor flatAccent(20, 120, 220);

// Grid units are drawn at `scale` pixels each, so points well inside a shape
// land on fully covered pixels.
QImage canvas(int scale)
{
    QImage image(100 * scale, 100 * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    return image;
}

QPainterPath rect(qreal x, qreal y, qreal w, qreal h)
{
    QPainterPath path;
    path.addRect(QRectF(x, y, w, h));
    return path;
}

int alphaAt(const QImage &image, int scale, qreal gridX, qreal gridY)
{
    return qAlpha(image.pixel(int(gridX * scale), int(gridY * scale)));
}

// A painter state no emblem step would choose, to see that every step puts
// it back.
void setUnusualState(QPainter &painter)
{
    painter.setCompositionMode(QPainter::CompositionMode_Plus);
    painter.setPen(QPen(QColor(1, 2, 3, 4), 7, Qt::DashLine, Qt::FlatCap, Qt::BevelJoin));
    painter.setBrush(QColor(9, 8, 7));
}

} // namespace

class TestEmblemFlatDraw : public QObject
{
    Q_OBJECT

private slots:
    void stepsRestorePainterState_data();
    void stepsRestorePainterState();
    void cutRemovesCoverageInProportion_data();
    void cutRemovesCoverageInProportion();
    void fillUsesNonZeroWinding();
    void strokeHasRoundCapsAndWidth();
    void sharedShapes_data();
    void sharedShapes();
    void foldTakesTheAccentUnderFlatLight();
};

void TestEmblemFlatDraw::stepsRestorePainterState_data()
{
    QTest::addColumn<DrawStep>("step");
    const VeskEmblemTone glass = VeskEmblemTone::whiteGlass();
    const QPainterPath square = rect(30, 30, 40, 40);
    QTest::newRow("fill with colour") << DrawStep([=](QPainter &p) {
        VeskFlatDraw::fillShape(p, square, glass.primary());
    });
    QTest::newRow("fill with cut") << DrawStep([=](QPainter &p) {
        VeskFlatDraw::fillShape(p, square, glass.cutout(0.75));
    });
    QTest::newRow("stroke with colour") << DrawStep([=](QPainter &p) {
        VeskFlatDraw::strokeShape(p, square, glass.stroke(), 4);
    });
    QTest::newRow("stroke with cut") << DrawStep([=](QPainter &p) {
        VeskFlatDraw::strokeShape(p, square, glass.onPrimaryAccent(), 4);
    });
    QTest::newRow("display frame") << DrawStep([=](QPainter &p) { VeskFlatDraw::displayFrame(p, glass); });
    QTest::newRow("folded sheet") << DrawStep([=](QPainter &p) { VeskFlatDraw::foldedSheet(p, glass); });
    QTest::newRow("split shield") << DrawStep([=](QPainter &p) { VeskFlatDraw::splitShield(p, glass); });
}

void TestEmblemFlatDraw::stepsRestorePainterState()
{
    QFETCH(DrawStep, step);
    QImage image = canvas(1);
    QPainter painter(&image);
    setUnusualState(painter);
    const QPen pen = painter.pen();
    const QBrush brush = painter.brush();

    step(painter);

    QCOMPARE(painter.compositionMode(), QPainter::CompositionMode_Plus);
    QCOMPARE(painter.pen(), pen);
    QCOMPARE(painter.brush(), brush);
    QVERIFY(painter.transform().isIdentity());
}

void TestEmblemFlatDraw::cutRemovesCoverageInProportion_data()
{
    QTest::addColumn<qreal>("cut");
    QTest::addColumn<int>("remaining"); // alpha left of an opaque square

    QTest::newRow("full cut") << 1.0 << 0;
    QTest::newRow("strong cut") << 0.8625 << 35;
    QTest::newRow("weak cut") << 0.55 << 115;
    QTest::newRow("no cut") << 0.0 << 255;
    QTest::newRow("strength beyond 1 cuts fully") << 3.0 << 0;
}

void TestEmblemFlatDraw::cutRemovesCoverageInProportion()
{
    QFETCH(qreal, cut);
    QFETCH(int, remaining);
    QImage image = canvas(2);
    QPainter painter(&image);
    painter.scale(2, 2);
    VeskFlatDraw::fillShape(painter, rect(20, 20, 60, 60), VeskFlatPaint::color(Qt::white));
    VeskFlatDraw::fillShape(painter, rect(40, 40, 20, 20), VeskFlatPaint::cutout(cut));
    painter.end();

    QVERIFY(qAbs(alphaAt(image, 2, 50, 50) - remaining) <= 1);
    QCOMPARE(alphaAt(image, 2, 30, 30), 255); // outside the cut
    QCOMPARE(alphaAt(image, 2, 10, 10), 0);   // a cut never adds coverage
}

void TestEmblemFlatDraw::fillUsesNonZeroWinding()
{
    // Two overlapping squares wound the same way: even-odd would leave the
    // overlap empty.
    QPainterPath path = rect(20, 20, 40, 40);
    path.addPath(rect(40, 40, 40, 40));
    path.setFillRule(Qt::OddEvenFill);
    QImage image = canvas(1);
    QPainter painter(&image);
    VeskFlatDraw::fillShape(painter, path, VeskFlatPaint::color(Qt::white));
    painter.end();
    QCOMPARE(alphaAt(image, 1, 50, 50), 255);
}

void TestEmblemFlatDraw::strokeHasRoundCapsAndWidth()
{
    QPainterPath line;
    line.moveTo(30, 50);
    line.lineTo(70, 50);
    QImage image = canvas(4);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(4, 4);
    VeskFlatDraw::strokeShape(painter, line, VeskFlatPaint::color(Qt::white), 10);
    painter.end();

    QCOMPARE(alphaAt(image, 4, 50, 54), 255); // within half the width
    QCOMPARE(alphaAt(image, 4, 50, 56), 0);   // beyond it
    QCOMPARE(alphaAt(image, 4, 26, 50), 255); // the cap reaches past the end
    QCOMPARE(alphaAt(image, 4, 26, 54), 0);   // ...rounded, not square
}

void TestEmblemFlatDraw::sharedShapes_data()
{
    QTest::addColumn<QString>("shape");
    QTest::addColumn<bool>("whiteGlass");
    QTest::addColumn<qreal>("x");
    QTest::addColumn<qreal>("y");
    QTest::addColumn<qreal>("alpha");

    // display frame: soft screen, primary outline, stand at 0.82
    QTest::newRow("frame screen, glass") << "frame" << true << 50.0 << 45.0 << 0.16;
    QTest::newRow("frame screen, flat") << "frame" << false << 50.0 << 45.0 << 0.11;
    QTest::newRow("frame outline over the screen") << "frame" << true << 21.0 << 45.0 << 0.98 + 0.16 * 0.02;
    QTest::newRow("frame stand") << "frame" << true << 50.0 << 72.3 << 0.82;
    QTest::newRow("frame gap above the stand") << "frame" << true << 50.0 << 67.5 << 0.0;
    // folded sheet: the fold keeps 45% of the sheet under white glass
    QTest::newRow("sheet body") << "sheet" << true << 40.0 << 50.0 << 0.98;
    QTest::newRow("sheet fold, glass") << "sheet" << true << 62.0 << 31.0 << 0.98 * 0.45;
    QTest::newRow("sheet fold, flat") << "sheet" << false << 62.0 << 31.0 << 1.0;
    QTest::newRow("sheet beyond the folded corner") << "sheet" << true << 70.0 << 30.0 << 0.0;
    QTest::newRow("sheet outside its rounded lower left corner") << "sheet" << true << 27.5 << 77.5 << 0.0;
    // split shield: full left half, mid right half, empty centre line
    QTest::newRow("shield left half") << "shield" << true << 38.0 << 40.0 << 0.98;
    QTest::newRow("shield right half") << "shield" << true << 62.0 << 40.0 << 0.46;
    QTest::newRow("shield right half, flat") << "shield" << false << 62.0 << 40.0 << 0.46;
    QTest::newRow("shield gap") << "shield" << true << 50.0 << 40.0 << 0.0;
    QTest::newRow("shield tip is narrow") << "shield" << true << 40.0 << 72.0 << 0.0;
}

void TestEmblemFlatDraw::sharedShapes()
{
    QFETCH(QString, shape);
    QFETCH(bool, whiteGlass);
    QFETCH(qreal, x);
    QFETCH(qreal, y);
    QFETCH(qreal, alpha);

    const VeskEmblemTone tone = whiteGlass ? VeskEmblemTone::whiteGlass()
                                           : VeskEmblemTone::flatLight(flatPrimary, flatAccent);
    QImage image = canvas(4);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(4, 4);
    if (shape == QLatin1String("frame"))
        VeskFlatDraw::displayFrame(painter, tone);
    else if (shape == QLatin1String("sheet"))
        VeskFlatDraw::foldedSheet(painter, tone);
    else
        VeskFlatDraw::splitShield(painter, tone);
    painter.end();

    const int actual = alphaAt(image, 4, x, y);
    QVERIFY2(qAbs(actual - alpha * 255) <= 2,
             qPrintable(QStringLiteral("alpha %1, expected %2").arg(actual).arg(alpha * 255)));
}

void TestEmblemFlatDraw::foldTakesTheAccentUnderFlatLight()
{
    QImage image = canvas(4);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(4, 4);
    VeskFlatDraw::foldedSheet(painter, VeskEmblemTone::flatLight(flatPrimary, flatAccent));
    painter.end();
    QCOMPARE(image.pixelColor(62 * 4, 31 * 4).rgb(), flatAccent.rgb());
    QCOMPARE(image.pixelColor(40 * 4, 50 * 4).rgb(), flatPrimary.rgb());
}

QTEST_GUILESS_MAIN(TestEmblemFlatDraw)
#include "tst_emblemflatdraw.moc"
