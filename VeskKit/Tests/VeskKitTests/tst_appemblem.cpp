#include "VeskKit/Design/Emblems/VeskAppEmblem.h"

#include "helper_emblemmodel.h"

#include <QtTest>

namespace {

// Paints only what the view draws, on a transparent image of its size.
QImage paintedBy(VeskAppEmblem &view)
{
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    view.render(&image, QPoint(), QRegion(), QWidget::RenderFlags());
    return image;
}

// The view's pixel that shows grid point (x, y) of a `side`-pixel emblem.
QPoint viewPixel(int side, qreal x, qreal y)
{
    return EmblemModel::pixelAt(side, x, y);
}

} // namespace

class TestAppEmblem : public QObject
{
    Q_OBJECT

private slots:
    void framesItsSize_data();
    void framesItsSize();
    void showsTheEmblemInItsOwnColours();
    void templateTakesTheForegroundColour();
};

void TestAppEmblem::framesItsSize_data()
{
    QTest::addColumn<qreal>("size");
    QTest::addColumn<int>("side");

    QTest::newRow("whole points") << 18.0 << 18;
    QTest::newRow("a fraction is rounded up") << 20.4 << 21;
    QTest::newRow("below the renderer's floor the frame stays small") << 6.0 << 6;
    QTest::newRow("zero draws nothing") << 0.0 << 0;
}

void TestAppEmblem::framesItsSize()
{
    QFETCH(qreal, size);
    QFETCH(int, side);
    VeskAppEmblem view(VeskAppIdentity::veskZul, size, false);
    QCOMPARE(view.size(), QSize(side, side));
    QCOMPARE(view.sizeHint(), QSize(side, side));
    QCOMPARE(view.minimumSize(), view.maximumSize());
}

void TestAppEmblem::showsTheEmblemInItsOwnColours()
{
    VeskAppEmblem view(VeskAppIdentity::veskZul, 120, false);
    const QImage image = paintedBy(view);
    const QColor card = image.pixelColor(viewPixel(120, 28, 50));
    QCOMPARE(card.rgb(), qRgb(255, 255, 255));
    QVERIFY(qAbs(card.alpha() - 250) <= 2);
    QCOMPARE(image.pixelColor(viewPixel(120, 38, 57)).alpha(), 0); // a short bar
    QCOMPARE(image.pixelColor(viewPixel(120, 50, 17)).alpha(), 0); // above the card
}

void TestAppEmblem::templateTakesTheForegroundColour()
{
    VeskAppEmblem view(VeskAppIdentity::veskZul, 120, true);
    QPalette palette = view.palette();
    palette.setColor(view.foregroundRole(), QColor(200, 30, 90));
    view.setPalette(palette);
    const QImage image = paintedBy(view);

    const QColor card = image.pixelColor(viewPixel(120, 28, 50));
    QCOMPARE(card.rgb(), qRgb(200, 30, 90));
    QVERIFY(qAbs(card.alpha() - 250) <= 2);
    const QColor chip = image.pixelColor(viewPixel(120, 58, 60));
    // At alpha 35 the stored premultiplied channels keep only a few levels.
    QVERIFY(qAbs(chip.red() - 200) <= 8 && qAbs(chip.green() - 30) <= 8 && qAbs(chip.blue() - 90) <= 8);
    QVERIFY(qAbs(chip.alpha() - 35) <= 2);
    QCOMPARE(image.pixelColor(viewPixel(120, 38, 57)).alpha(), 0);
}

QTEST_MAIN(TestAppEmblem)
#include "tst_appemblem.moc"
