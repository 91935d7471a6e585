#include "VeskKit/Design/VeskBackdropCache.h"
#include "VeskKit/Design/VeskButton.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskGlassCard.h"
#include "VeskKit/Design/VeskGlassInputField.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Design/VeskGroundBackground.h"
#include "VeskKit/Design/VeskToastBanner.h"

#include <QFontMetricsF>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QSignalSpy>
#include <QtTest>

#include <cmath>

namespace {

// The widget alone on a transparent image, so alphas read as drawn.
QImage renderAlone(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

void compareAlpha(const QImage &image, QPoint at, double expected)
{
    const int alpha = qAlpha(image.pixel(at));
    QVERIFY2(std::abs(alpha - expected * 255.0) <= 2.0,
             qPrintable(QStringLiteral("alpha %1 at (%2, %3), expected %4")
                            .arg(alpha).arg(at.x()).arg(at.y()).arg(expected * 255.0)));
}

// A one-pixel border over a fill: the two layers composited.
double over(double top, double bottom)
{
    return top + bottom * (1 - top);
}

bool containsColour(const QImage &image, const QRect &area, const QColor &colour)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb px = image.pixel(x, y);
            if (qAlpha(px) == 255 && std::abs(qRed(px) - colour.red()) <= 2 &&
                std::abs(qGreen(px) - colour.green()) <= 2 && std::abs(qBlue(px) - colour.blue()) <= 2)
                return true;
        }
    return false;
}

// The columns holding bright label ink (text or symbol).
std::pair<int, int> inkColumns(const QImage &image, int threshold)
{
    int left = image.width(), right = -1;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb px = image.pixel(x, y);
            if (qAlpha(px) > threshold) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
        }
    return {left, right};
}

} // namespace

class TestVeskGlassComponents : public QObject {
    Q_OBJECT
private slots:
    void buttonSizeIsLabelPlusPadding_data();
    void buttonSizeIsLabelPlusPadding();
    void glassButtonLayers_data();
    void glassButtonLayers();
    void glassButtonPressIsImmediate();
    void primaryButtonPressEasesAndShrinks();
    void onlyTheRoundedRectangleClicks_data();
    void onlyTheRoundedRectangleClicks();
    void labelFontTakesPrecedence();
    void glassCardInsetsAndPaints_data();
    void glassCardInsetsAndPaints();
    void groundBackgroundGradient_data();
    void groundBackgroundGradient();
    void backdropCopiesWhatItDrew_data();
    void backdropCopiesWhatItDrew();
    void toastGeometry();
    void toastSymbolColour_data();
    void toastSymbolColour();
    void toastStaysUntilItsOwnerRemovesIt();
    void inputFieldStyle();
};

void TestVeskGlassComponents::buttonSizeIsLabelPlusPadding_data()
{
    QTest::addColumn<bool>("primary");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<double>("hPad");
    QTest::addColumn<double>("vPad");
    QTest::addColumn<double>("fontSize");
    QTest::newRow("primary text") << true << "New Note" << "" << 14.0 << 7.0 << 13.0;
    QTest::newRow("primary symbol and text") << true << "Create New Note" << "plus" << 14.0 << 7.0 << 13.0;
    QTest::newRow("glass text") << false << "Export" << "" << 11.0 << 6.0 << 12.5;
    QTest::newRow("glass symbol only") << false << "" << "pin.fill" << 11.0 << 6.0 << 12.5;
}

void TestVeskGlassComponents::buttonSizeIsLabelPlusPadding()
{
    QFETCH(bool, primary);
    QFETCH(QString, text);
    QFETCH(QString, symbol);
    QFETCH(double, hPad);
    QFETCH(double, vPad);
    QFETCH(double, fontSize);
    VeskButton button = primary ? VeskButton(VeskPrimaryButtonStyle{}, text, symbol)
                                : VeskButton(VeskGlassButtonStyle{}, text, symbol);
    QCOMPARE(veskFontPixelSize(button.labelFont()), fontSize);
    QCOMPARE(button.labelFont().weight(), primary ? QFont::DemiBold : QFont::Medium);
    const QFontMetricsF metrics(button.labelFont());
    const QSize hint = button.sizeHint();
    const double symbolSide = symbol.isEmpty() ? 0 : fontSize * 1.2;
    const double labelHeight = std::max(text.isEmpty() ? 0 : metrics.height(), symbolSide);
    QCOMPARE(hint.height(), int(std::ceil(labelHeight + 2 * vPad)));
    QVERIFY(hint.width() >= metrics.horizontalAdvance(text) + symbolSide + 2 * hPad);

    // The label's ink sits inside the padding and starts right at it.
    button.resize(hint);
    const QImage image = renderAlone(button);
    const auto [left, right] = inkColumns(image, primary ? 250 : 200);
    // A glyph keeps a margin inside its box; text starts at its edge.
    const double slack = text.isEmpty() ? symbolSide / 3 : 3;
    QVERIFY2(left >= hPad - 1 && left <= hPad + slack, qPrintable(QString::number(left)));
    QVERIFY2(right <= hint.width() - hPad + 1 && right >= hint.width() - hPad - 1 - slack,
             qPrintable(QString::number(right)));
}

void TestVeskGlassComponents::glassButtonLayers_data()
{
    QTest::addColumn<bool>("active");
    QTest::addColumn<bool>("pressed");
    QTest::addColumn<double>("fill");
    QTest::addColumn<double>("border");
    QTest::addColumn<double>("opacity");
    QTest::newRow("inactive") << false << false << 0.10 << 0.14 << 1.0;
    QTest::newRow("inactive pressed") << false << true << 0.10 << 0.14 << 0.78;
    QTest::newRow("active") << true << false << 0.16 << 0.28 << 1.0;
    QTest::newRow("active pressed") << true << true << 0.16 << 0.28 << 0.78;
}

void TestVeskGlassComponents::glassButtonLayers()
{
    QFETCH(bool, active);
    QFETCH(bool, pressed);
    QFETCH(double, fill);
    QFETCH(double, border);
    QFETCH(double, opacity);
    VeskButton button(VeskGlassButtonStyle{active});
    QCOMPARE(button.isActive(), active);
    button.resize(80, 30);
    button.setDown(pressed);
    const QImage image = renderAlone(button);
    // The pressed opacity applies to each layer, as to any view's layers.
    compareAlpha(image, QPoint(40, 15), fill * opacity);
    compareAlpha(image, QPoint(0, 15), over(border * opacity, fill * opacity));
    compareAlpha(image, QPoint(40, 29), over(border * opacity, fill * opacity));
    // Radius 8: the very corner is outside the shape.
    compareAlpha(image, QPoint(0, 0), 0);
}

void TestVeskGlassComponents::glassButtonPressIsImmediate()
{
    VeskButton button(VeskGlassButtonStyle{}, QStringLiteral("Copy"));
    button.resize(button.sizeHint());
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QTest::mousePress(&button, Qt::LeftButton, {}, button.rect().center());
    QCOMPARE(button.pressAmount(), 1.0);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, button.rect().center());
    QCOMPARE(button.pressAmount(), 0.0);
}

void TestVeskGlassComponents::primaryButtonPressEasesAndShrinks()
{
    VeskButton button(VeskPrimaryButtonStyle{});
    button.resize(100, 30);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    const QImage rest = renderAlone(button);
    compareAlpha(rest, QPoint(50, 15), 0.96);
    compareAlpha(rest, QPoint(0, 15), 0.96);

    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(50, 15));
    // Eased, not switched: nothing has moved before the event loop runs.
    QVERIFY(button.pressAmount() < 1.0);
    QTRY_COMPARE(button.pressAmount(), 1.0);
    const QImage pressed = renderAlone(button);
    compareAlpha(pressed, QPoint(50, 15), 0.82);
    // Scaled to 0.98 about the centre: the outermost column is left empty.
    compareAlpha(pressed, QPoint(0, 15), 0);
    compareAlpha(pressed, QPoint(2, 15), 0.82);

    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(50, 15));
    QVERIFY(button.pressAmount() > 0.0);
    QTRY_COMPARE(button.pressAmount(), 0.0);
    compareAlpha(renderAlone(button), QPoint(0, 15), 0.96);
}

void TestVeskGlassComponents::onlyTheRoundedRectangleClicks_data()
{
    QTest::addColumn<QPoint>("at");
    QTest::addColumn<bool>("clicks");
    QTest::newRow("centre") << QPoint(50, 15) << true;
    QTest::newRow("inside the padding") << QPoint(3, 15) << true;
    QTest::newRow("top left corner") << QPoint(1, 1) << false;
    QTest::newRow("bottom right corner") << QPoint(99, 29) << false;
}

void TestVeskGlassComponents::onlyTheRoundedRectangleClicks()
{
    QFETCH(QPoint, at);
    QFETCH(bool, clicks);
    VeskButton button(VeskPrimaryButtonStyle{}, QStringLiteral("Go"));
    button.resize(100, 30);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QSignalSpy clicked(&button, &QAbstractButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton, {}, at);
    QCOMPARE(clicked.count(), clicks ? 1 : 0);
}

void TestVeskGlassComponents::labelFontTakesPrecedence()
{
    VeskButton button(VeskGlassButtonStyle{}, QString(), QStringLiteral("pin"));
    const int styleHeight = button.sizeHint().height();
    button.setLabelFont(veskSystemFont(20, QFont::DemiBold));
    QCOMPARE(veskFontPixelSize(button.labelFont()), 20.0);
    QCOMPARE(button.sizeHint().height(), int(std::ceil(20 * 1.2 + 2 * 6)));
    QVERIFY(button.sizeHint().height() > styleHeight);
    button.setLabelFont(std::nullopt);
    QCOMPARE(button.sizeHint().height(), styleHeight);
}

void TestVeskGlassComponents::glassCardInsetsAndPaints_data()
{
    QTest::addColumn<double>("padding");
    QTest::addColumn<double>("radius");
    QTest::newRow("settings card") << 18.0 << 16.0;
    QTest::newRow("receipt card") << 20.0 << 14.0;
    QTest::newRow("no padding") << 0.0 << 10.0;
}

void TestVeskGlassComponents::glassCardInsetsAndPaints()
{
    QFETCH(double, padding);
    QFETCH(double, radius);
    auto *content = new QWidget;
    content->setFixedSize(100, 40);
    VeskGlassCard card(padding, radius, content);
    QCOMPARE(card.padding(), padding);
    QCOMPARE(card.cornerRadius(), radius);
    const int p = int(padding);
    QCOMPARE(card.sizeHint(), QSize(100 + 2 * p, 40 + 2 * p));
    card.resize(card.sizeHint());
    card.show();
    QVERIFY(QTest::qWaitForWindowExposed(&card));
    QCOMPARE(content->geometry(), QRect(p, p, 100, 40));

    const QImage image = renderAlone(card);
    const int midY = card.height() / 2;
    compareAlpha(image, QPoint(card.width() / 2, 4 + p / 2), 0.06);
    compareAlpha(image, QPoint(0, midY), over(0.14, 0.06));
    compareAlpha(image, QPoint(card.width() - 1, midY), over(0.14, 0.06));
    compareAlpha(image, QPoint(0, 0), 0);
}

void TestVeskGlassComponents::groundBackgroundGradient_data()
{
    QTest::addColumn<int>("palette");
    QTest::newRow("deepIndigo") << int(VeskProductPalette::deepIndigo);
    QTest::newRow("deepAmber") << int(VeskProductPalette::deepAmber);
    QTest::newRow("deepCyan") << int(VeskProductPalette::deepCyan);
}

void TestVeskGlassComponents::groundBackgroundGradient()
{
    QFETCH(int, palette);
    const VeskGroundStops stops = groundStops(VeskProductPalette(palette));
    VeskGroundBackground ground{VeskProductPalette(palette)};
    ground.resize(800, 600);
    const QImage image = ground.grab().toImage();

    auto near = [&](QPoint at, const QColor &expected, int tolerance) {
        const QColor actual = image.pixelColor(at);
        QVERIFY2(std::abs(actual.red() - expected.red()) <= tolerance &&
                     std::abs(actual.green() - expected.green()) <= tolerance &&
                     std::abs(actual.blue() - expected.blue()) <= tolerance,
                 qPrintable(QStringLiteral("%1 at (%2, %3), expected %4")
                                .arg(actual.name(), QString::number(at.x()), QString::number(at.y()),
                                     expected.name())));
    };
    // Top-left: the first stop under the full 9 % white highlight.
    QColor lit = stops.topLeft;
    lit.setRed(qRound(lit.red() + (255 - lit.red()) * 0.09));
    lit.setGreen(qRound(lit.green() + (255 - lit.green()) * 0.09));
    lit.setBlue(qRound(lit.blue() + (255 - lit.blue()) * 0.09));
    near(QPoint(0, 0), lit, 2);
    near(QPoint(12, 9), lit, 2); // still inside the 20-pixel core
    // The middle of the diagonal: the middle stop, the highlight nearly gone.
    near(QPoint(400, 300), stops.middle, 2);
    // Beyond 520 pixels the highlight is clear: the last stop exactly.
    near(QPoint(799, 599), stops.bottomRight, 1);
}

void TestVeskGlassComponents::backdropCopiesWhatItDrew_data()
{
    QTest::addColumn<qreal>("ratio");
    QTest::addColumn<QRegion>("region");
    QTest::addColumn<QSize>("resized"); // then the whole surface at this size

    QTest::newRow("whole") << 1.0 << QRegion(0, 0, 380, 300) << QSize(380, 300);
    QTest::newRow("a few rows") << 1.0 << QRegion(10, 120, 200, 22) << QSize(380, 300);
    QTest::newRow("two places") << 1.0 << (QRegion(0, 0, 40, 40) + QRegion(300, 250, 80, 50)) << QSize(380, 300);
    QTest::newRow("past the edge") << 1.0 << QRegion(350, 280, 100, 100) << QSize(380, 300);
    QTest::newRow("grown") << 1.0 << QRegion(0, 0, 380, 300) << QSize(420, 520);
    QTest::newRow("twice as dense") << 2.0 << QRegion(30, 40, 120, 33) << QSize(380, 300);
    QTest::newRow("twice as dense, shrunk") << 2.0 << QRegion(0, 0, 380, 300) << QSize(200, 100);
}

void TestVeskGlassComponents::backdropCopiesWhatItDrew()
{
    QFETCH(qreal, ratio);
    QFETCH(QRegion, region);
    QFETCH(QSize, resized);
    // Rounded, clipped and translucent, as the panels' glass is.
    const auto glass = [](QPainter &painter, const QRectF &bounds) {
        QPainterPath shape;
        shape.addRoundedRect(bounds, 16, 16);
        painter.setClipPath(shape);
        VeskGroundBackground::paintGround(painter, bounds, VeskProductPalette::deepIndigo);
        painter.fillRect(bounds, QColor(20, 20, 30, 90));
    };
    VeskBackdropCache cache;
    // `part` of the surface, through the cache or (no look) copied from the
    // whole surface drawn directly.
    const auto shot = [&](QSize size, const QRegion &part, std::optional<quint64> look) {
        const auto blank = [ratio](QSize size) {
            QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::transparent);
            return image;
        };
        QImage image = blank(size);
        QPainter painter(&image);
        painter.setClipRegion(part);
        if (look) {
            cache.paint(painter, part, size, ratio, *look, glass);
            return image;
        }
        QImage whole = blank(size);
        QPainter direct(&whole);
        direct.setRenderHint(QPainter::Antialiasing);
        glass(direct, QRectF(QPointF(0, 0), QSizeF(size)));
        direct.end();
        painter.drawImage(QPoint(0, 0), whole);
        return image;
    };
    const QSize size(380, 300);
    const QRegion whole(0, 0, size.width(), size.height());
    QCOMPARE(shot(size, region, 1), shot(size, region, std::nullopt));
    // Another part of the same surface is copied, not drawn again.
    QCOMPARE(shot(size, whole - region, 1), shot(size, whole - region, std::nullopt));
    QCOMPARE(cache.drawCount(), 1);
    // A new size draws it anew, as does a new look.
    const QRegion all(0, 0, resized.width(), resized.height());
    QCOMPARE(shot(resized, all, 1), shot(resized, all, std::nullopt));
    QCOMPARE(cache.drawCount(), resized == size ? 1 : 2);
    shot(resized, all, 2);
    QCOMPARE(cache.drawCount(), resized == size ? 2 : 3);
}

void TestVeskGlassComponents::toastGeometry()
{
    VeskToastBanner toast(QStringLiteral("Note duplicated."), false);
    const QFontMetricsF metrics(toast.messageFont());
    QCOMPARE(veskFontPixelSize(toast.messageFont()), 12.0);
    QCOMPARE(toast.messageFont().weight(), QFont::Medium);
    const double symbol = 12 * 1.2;
    const QSize hint = toast.sizeHint();
    QCOMPARE(hint.height(), int(std::ceil(std::max(symbol, metrics.height()) + 2 * 10)));
    QCOMPARE(hint.width(), int(std::ceil(16 + symbol + 8 + metrics.horizontalAdvance(toast.message()) + 16)));

    // A longer message widens the banner; the banner is the same widget.
    toast.setMessage(QStringLiteral("Offline mode — using built-in FX rates."));
    QVERIFY(toast.sizeHint().width() > hint.width());
    QCOMPARE(toast.size(), toast.sizeHint());
}

void TestVeskGlassComponents::toastSymbolColour_data()
{
    QTest::addColumn<bool>("isError");
    QTest::addColumn<QString>("symbol");
    QTest::addColumn<QColor>("shown");
    QTest::addColumn<QColor>("notShown");
    QTest::newRow("error: warning triangle, not danger")
        << true << "exclamationmark.triangle.fill" << QColor(255, 184, 77) << QColor(255, 100, 124);
    QTest::newRow("news: success check") << false << "checkmark.circle.fill" << QColor(62, 230, 168)
                                         << QColor(255, 184, 77);
}

void TestVeskGlassComponents::toastSymbolColour()
{
    QFETCH(bool, isError);
    QFETCH(QString, symbol);
    QFETCH(QColor, shown);
    QFETCH(QColor, notShown);
    VeskToastBanner toast(QStringLiteral("Export failed: disk full"), !isError);
    toast.setIsError(isError);
    QCOMPARE(toast.symbolName(), symbol);
    toast.resize(toast.sizeHint());
    const QImage image = toast.grab().toImage();
    const int side = int(std::ceil(12 * 1.2));
    const QRect iconBox(16, (toast.height() - side) / 2, side, side);
    QVERIFY(containsColour(image, iconBox, shown));
    QVERIFY(!containsColour(image, iconBox, notShown));
    // The capsule: black at 0.84, a little darker where its shadow lies under
    // it; the very corner is outside the capsule.
    const QRgb top = image.pixel(toast.width() / 2, 2);
    QVERIFY(qAlpha(top) >= 213 && qAlpha(top) <= 225);
    QVERIFY(qRed(top) <= 40);
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
}

void TestVeskGlassComponents::toastStaysUntilItsOwnerRemovesIt()
{
    QWidget window;
    window.resize(400, 200);
    auto *toast = new VeskToastBanner(QStringLiteral("Copied: 42"), false, &window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QVERIFY(toast->isVisible());
    // Longer than any toast lifetime: it has no timer of its own.
    QTest::qWait(2600);
    QVERIFY(toast->isVisible());
    QCOMPARE(toast->message(), QStringLiteral("Copied: 42"));
    toast->hide();
    QVERIFY(!toast->isVisible());
}

void TestVeskGlassComponents::inputFieldStyle()
{
    QLineEdit field;
    QLineEdit *same = veskGlassInputField(&field, 8, 10, 6);
    QCOMPARE(same, &field);
    QVERIFY(!field.hasFrame());
    QCOMPARE(veskFontPixelSize(field.font()), 12.5);
    QCOMPARE(field.font().weight(), QFont::Normal);
    QCOMPARE(field.palette().color(QPalette::Active, QPalette::Text), VeskGlassTokens::textPrimary());
    QCOMPARE(field.textMargins(), QMargins(10, 6, 10, 6));
    field.resize(160, 30);
    field.show();
    QVERIFY(QTest::qWaitForWindowExposed(&field));
    QImage image = renderAlone(field);
    compareAlpha(image, QPoint(120, 15), 0.10);
    compareAlpha(image, QPoint(0, 15), over(0.14, 0.10));
    compareAlpha(image, QPoint(0, 0), 0);

    // Focus does not change the look; styling again does not stack layers.
    field.setFocus();
    veskGlassInputField(&field, 8, 10, 6);
    image = renderAlone(field);
    compareAlpha(image, QPoint(120, 15), 0.10);
}

QTEST_MAIN(TestVeskGlassComponents)
#include "tst_veskglasscomponents.moc"
