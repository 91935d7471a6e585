#include "Views/ZulNoteTintFrostedGlass.h"
#include "Views/ZulTintDotPicker.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

namespace {

QImage renderAlone(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

void click(QWidget *widget, QPointF at)
{
    QMouseEvent press(QEvent::MouseButtonPress, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, widget->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(widget, &release);
}

} // namespace

class TestTintDotPicker : public QObject {
    Q_OBJECT
private slots:
    void frostedGradientStops_data();
    void frostedGradientStops();
    void fullyClearGradientPaintsNothing();
    void dotsInTintOrder_data();
    void dotsInTintOrder();
    void clickReportsWithoutSelecting();
    void selectedDotIsRingedAndLarger();
};

void TestTintDotPicker::frostedGradientStops_data()
{
    QTest::addColumn<int>("tint");
    QTest::addColumn<QString>("top");
    QTest::addColumn<QString>("bottom");
    QTest::addColumn<double>("topOpacity");
    QTest::addColumn<double>("bottomOpacity");
    QTest::newRow("indigo") << int(ZulNoteTint::indigo) << "#24347a" << "#0e1538" << 0.55 << 0.8;
    QTest::newRow("emerald") << int(ZulNoteTint::emerald) << "#155e53" << "#0a2124" << 0.3 << 0.4;
    QTest::newRow("amber") << int(ZulNoteTint::amber) << "#6e391d" << "#24130b" << 1.0 << 1.0;
    QTest::newRow("coral") << int(ZulNoteTint::coral) << "#661f5d" << "#220b25" << 0.0 << 0.5;
    QTest::newRow("cyan") << int(ZulNoteTint::cyan) << "#105163" << "#081f2b" << 0.25 << 0.0;
    QTest::newRow("violet") << int(ZulNoteTint::violet) << "#422878" << "#1b1136" << 0.5 << 0.5;
}

void TestTintDotPicker::frostedGradientStops()
{
    QFETCH(int, tint);
    QFETCH(QString, top);
    QFETCH(QString, bottom);
    QFETCH(double, topOpacity);
    QFETCH(double, bottomOpacity);
    const QLinearGradient gradient = frostedGlassGradient(ZulNoteTint(tint), topOpacity, bottomOpacity);
    QCOMPARE(gradient.coordinateMode(), QGradient::ObjectMode);
    QCOMPARE(gradient.start(), QPointF(0, 0)); // top-leading
    QCOMPARE(gradient.finalStop(), QPointF(1, 1)); // bottom-trailing
    const QGradientStops stops = gradient.stops();
    QCOMPARE(stops.size(), 2);
    QCOMPARE(stops[0].first, 0.0);
    QCOMPARE(stops[0].second.name(), top); // the top colour is always the first stop
    QVERIFY(std::abs(stops[0].second.alphaF() - topOpacity) < 1e-4);
    QCOMPARE(stops[1].first, 1.0);
    QCOMPARE(stops[1].second.name(), bottom);
    QVERIFY(std::abs(stops[1].second.alphaF() - bottomOpacity) < 1e-4);
}

void TestTintDotPicker::fullyClearGradientPaintsNothing()
{
    QImage image(40, 30, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.fillRect(image.rect(), frostedGlassGradient(ZulNoteTint::violet, 0, 0));
    painter.end();
    for (QPoint at : {QPoint(0, 0), QPoint(20, 15), QPoint(39, 29)})
        QCOMPARE(qAlpha(image.pixel(at)), 0);

    // Painted into a box, the gradient spans exactly that box.
    image.fill(Qt::transparent);
    painter.begin(&image);
    painter.fillRect(image.rect(), frostedGlassGradient(ZulNoteTint::indigo, 1, 1));
    painter.end();
    QVERIFY(std::abs(qRed(image.pixel(0, 0)) - 0x24) <= 2);
    QVERIFY(std::abs(qBlue(image.pixel(39, 29)) - 0x38) <= 3);
}

void TestTintDotPicker::dotsInTintOrder_data()
{
    QTest::addColumn<int>("tint");
    QTest::addColumn<QString>("help");
    QTest::addColumn<QString>("colour");
    QTest::newRow("indigo") << int(ZulNoteTint::indigo) << "Indigo" << "#7ca4ff";
    QTest::newRow("emerald") << int(ZulNoteTint::emerald) << "Emerald" << "#47e6c1";
    QTest::newRow("amber") << int(ZulNoteTint::amber) << "Amber" << "#ffa95c";
    QTest::newRow("coral") << int(ZulNoteTint::coral) << "Coral" << "#f472d0";
    QTest::newRow("cyan") << int(ZulNoteTint::cyan) << "Cyan" << "#38e8ff";
    QTest::newRow("violet") << int(ZulNoteTint::violet) << "Violet" << "#a98bff";
}

void TestTintDotPicker::dotsInTintOrder()
{
    QFETCH(int, tint);
    QFETCH(QString, help);
    QFETCH(QString, colour);
    ZulTintDotPicker picker(ZulNoteTint::indigo, 14, nullptr);
    const int margin = picker.overflowMargin();
    QCOMPARE(margin, 4); // 14 * 0.06 and the focus ring outside the dot, rounded up
    QCOMPARE(picker.sizeHint(), QSize(6 * 14 + 5 * 5 + 2 * margin, 14 + 2 * margin));
    const QRectF square = picker.dotRect(ZulNoteTint(tint));
    QCOMPARE(square, QRectF(margin + tint * (14 + 5), margin, 14, 14));
    QCOMPARE(ZulTintDotPicker::helpText(ZulNoteTint(tint)), help);

    picker.resize(picker.sizeHint());
    const QImage image = renderAlone(picker);
    // The dot's middle shows the tint's accent.
    QCOMPARE(image.pixelColor(square.center().toPoint()).name(), colour);
}

void TestTintDotPicker::clickReportsWithoutSelecting()
{
    QList<ZulNoteTint> chosen;
    ZulTintDotPicker picker(ZulNoteTint::amber, 14, [&](ZulNoteTint t) { chosen << t; });
    picker.resize(picker.sizeHint());
    click(&picker, picker.dotRect(ZulNoteTint::cyan).center());
    QCOMPARE(chosen, QList<ZulNoteTint>{ZulNoteTint::cyan});
    QCOMPARE(picker.selected(), ZulNoteTint::amber);
    // Between two dots nothing is chosen.
    const QRectF first = picker.dotRect(ZulNoteTint::indigo);
    click(&picker, QPointF(first.right() + 2.5, first.center().y()));
    QCOMPARE(chosen.size(), 1);
}

void TestTintDotPicker::selectedDotIsRingedAndLarger()
{
    ZulTintDotPicker picker(ZulNoteTint::coral, 20, nullptr);
    picker.resize(picker.sizeHint());
    const QImage image = renderAlone(picker);
    const QRectF selected = picker.dotRect(ZulNoteTint::coral);
    const QRectF other = picker.dotRect(ZulNoteTint::amber);
    // Just above its square: the selected dot reaches there, another does not.
    const int above = int(selected.top()) - 1;
    QVERIFY(qAlpha(image.pixel(int(selected.center().x()), above)) > 100);
    QVERIFY(qAlpha(image.pixel(int(other.center().x()), above)) < 20); // at most edge smoothing
    // The ring: near-white on the selected dot's rim, the plain tint's rim
    // only faintly lightened on another dot.
    const QColor selectedRim = image.pixelColor(int(selected.center().x()), above);
    const QColor otherRim = image.pixelColor(int(other.center().x()), int(other.top()) + 1);
    QVERIFY2(selectedRim.green() > 200, qPrintable(selectedRim.name()));
    QVERIFY2(otherRim.blue() < 170, qPrintable(otherRim.name())); // amber #FFA95C stays amber
}

QTEST_MAIN(TestTintDotPicker)
#include "tst_tintdotpicker.moc"
