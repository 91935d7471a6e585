#include "Views/EvaluatedLineKindBadgeColor.h"
#include "Views/FirstClickHostingView.h"
#include "Views/ZulGlassCorners.h"
#include "Views/ZulMinimalIconButton.h"
#include "Views/ZulVibrancyView.h"

#include <QCursor>
#include <QEnterEvent>
#include <QLabel>
#include <QtTest>

namespace {

int alphaAt(const QImage &image, QPoint at)
{
    return qAlpha(image.pixel(at));
}

QImage renderAlone(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image;
}

void sendEnter(QWidget *widget)
{
    const QPointF inside(widget->width() / 2.0, widget->height() / 2.0);
    QEnterEvent enter(inside, widget->mapToGlobal(inside), widget->mapToGlobal(inside));
    QCoreApplication::sendEvent(widget, &enter);
}

void sendLeave(QWidget *widget)
{
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(widget, &leave);
}

} // namespace

class TestGlassHelperViews : public QObject {
    Q_OBJECT
private slots:
    void badgeColours_data();
    void badgeColours();
    void glassCornersEquality();
    void maskImageGeometry_data();
    void maskImageGeometry();
    void maskRebuiltOnlyWhenCornersChange();
    void vibrancyMaskStretchesToTheView_data();
    void vibrancyMaskStretchesToTheView();
    void hostWithoutCallbackReportsNothing();
    void hostReportsOnlyChanges();
    void hostReportsRestingPointerWithoutMovement();
    void iconButtonLightsUpOnHover();
    void iconButtonRunsItsAction();
};

void TestGlassHelperViews::badgeColours_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("hex");
    QTest::newRow("math") << int(EvaluatedLineKind::math) << "#7ca4ff";
    QTest::newRow("variable") << int(EvaluatedLineKind::variable) << "#b89cff";
    QTest::newRow("percentage") << int(EvaluatedLineKind::percentage) << "#ffb85c";
    QTest::newRow("currency") << int(EvaluatedLineKind::currency) << "#47e6c1";
    QTest::newRow("unit") << int(EvaluatedLineKind::unit) << "#38e8ff";
    QTest::newRow("date") << int(EvaluatedLineKind::date) << "#f472d0";
    QTest::newRow("aggregate") << int(EvaluatedLineKind::aggregate) << "#ffe066";
    QTest::newRow("checklist shares the currency colour") << int(EvaluatedLineKind::checklist) << "#47e6c1";
}

void TestGlassHelperViews::badgeColours()
{
    QFETCH(int, kind);
    QFETCH(QString, hex);
    const QColor colour = badgeColor(EvaluatedLineKind(kind));
    QCOMPARE(colour.name(), hex);
    QCOMPARE(colour.alpha(), 255);
}

void TestGlassHelperViews::glassCornersEquality()
{
    QCOMPARE(ZulGlassCorners::all(12), ZulGlassCorners::all(12));
    QVERIFY(ZulGlassCorners::all(12) != ZulGlassCorners::all(13));
    QVERIFY(ZulGlassCorners::leading(12) != ZulGlassCorners::trailing(12));
    QVERIFY(ZulGlassCorners::leading(12) != ZulGlassCorners::all(12));
}

void TestGlassHelperViews::maskImageGeometry_data()
{
    QTest::addColumn<ZulGlassCorners>("corners");
    QTest::addColumn<bool>("hasImage");
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QMargins>("insets"); // left, top, right, bottom
    QTest::addColumn<bool>("leftRounded");
    QTest::addColumn<bool>("rightRounded");
    QTest::newRow("all(0): none") << ZulGlassCorners::all(0) << false << QSizeF() << QMargins() << false << false;
    QTest::newRow("negative radius: none")
        << ZulGlassCorners::leading(-4) << false << QSizeF() << QMargins() << false << false;
    QTest::newRow("leading(12)") << ZulGlassCorners::leading(12) << true << QSizeF(14, 26)
                                 << QMargins(12, 12, 0, 12) << true << false;
    QTest::newRow("trailing(12)") << ZulGlassCorners::trailing(12) << true << QSizeF(14, 26)
                                  << QMargins(0, 12, 12, 12) << false << true;
    QTest::newRow("all(12)") << ZulGlassCorners::all(12) << true << QSizeF(26, 26) << QMargins(12, 12, 12, 12)
                             << true << true;
    QTest::newRow("all(16)") << ZulGlassCorners::all(16) << true << QSizeF(34, 34) << QMargins(16, 16, 16, 16)
                             << true << true;
}

void TestGlassHelperViews::maskImageGeometry()
{
    QFETCH(ZulGlassCorners, corners);
    QFETCH(bool, hasImage);
    QFETCH(QSizeF, size);
    QFETCH(QMargins, insets);
    QFETCH(bool, leftRounded);
    QFETCH(bool, rightRounded);
    const std::optional<ZulMaskImage> mask = ZulVibrancyView::makeMaskImage(corners);
    QCOMPARE(mask.has_value(), hasImage);
    if (!mask)
        return;
    QCOMPARE(mask->image.deviceIndependentSize(), size);
    QCOMPARE(mask->capInsets, insets);
    const QImage &image = mask->image;
    const int w = image.width(), h = image.height();
    // A rounded corner leaves its very corner pixel empty; a square one is filled.
    QCOMPARE(alphaAt(image, {0, 0}) == 0, leftRounded);
    QCOMPARE(alphaAt(image, {0, h - 1}) == 0, leftRounded);
    QCOMPARE(alphaAt(image, {w - 1, 0}) == 0, rightRounded);
    QCOMPARE(alphaAt(image, {w - 1, h - 1}) == 0, rightRounded);
    QCOMPARE(alphaAt(image, {w / 2, h / 2}), 255);
}

void TestGlassHelperViews::maskRebuiltOnlyWhenCornersChange()
{
    ZulVibrancyView view(ZulVisualEffectMaterial::hudWindow, ZulVisualEffectBlendingMode::behindWindow,
                         ZulVisualEffectState::active, ZulGlassCorners::all(16));
    QCOMPARE(view.maskBuildCount(), 1);
    QCOMPARE(view.appliedCorners(), std::optional(ZulGlassCorners::all(16)));

    view.updateView(ZulVisualEffectMaterial::hudWindow, ZulVisualEffectBlendingMode::behindWindow,
                    ZulVisualEffectState::active, ZulGlassCorners::all(16));
    QCOMPARE(view.maskBuildCount(), 1);

    view.updateView(ZulVisualEffectMaterial::popover, ZulVisualEffectBlendingMode::withinWindow,
                    ZulVisualEffectState::inactive, ZulGlassCorners::all(16));
    QCOMPARE(view.maskBuildCount(), 1);
    QCOMPARE(view.material(), ZulVisualEffectMaterial::popover);
    QCOMPARE(view.blendingMode(), ZulVisualEffectBlendingMode::withinWindow);
    QCOMPARE(view.state(), ZulVisualEffectState::inactive);

    view.updateView(ZulVisualEffectMaterial::popover, ZulVisualEffectBlendingMode::withinWindow,
                    ZulVisualEffectState::inactive, ZulGlassCorners::all(15));
    QCOMPARE(view.maskBuildCount(), 2);
    view.updateView(ZulVisualEffectMaterial::popover, ZulVisualEffectBlendingMode::withinWindow,
                    ZulVisualEffectState::inactive, ZulGlassCorners::leading(15));
    QCOMPARE(view.maskBuildCount(), 3);
    QCOMPARE(view.appliedCorners(), std::optional(ZulGlassCorners::leading(15)));
    view.updateView(ZulVisualEffectMaterial::popover, ZulVisualEffectBlendingMode::withinWindow,
                    ZulVisualEffectState::inactive, ZulGlassCorners::leading(0));
    QCOMPARE(view.maskBuildCount(), 4);
    QVERIFY(!view.maskImage().has_value());
}

void TestGlassHelperViews::vibrancyMaskStretchesToTheView_data()
{
    QTest::addColumn<ZulGlassCorners>("corners");
    QTest::addColumn<bool>("leftRounded");
    QTest::addColumn<bool>("rightRounded");
    QTest::newRow("all(15)") << ZulGlassCorners::all(15) << true << true;
    QTest::newRow("leading(12): square right side") << ZulGlassCorners::leading(12) << true << false;
    QTest::newRow("trailing(12): square left side") << ZulGlassCorners::trailing(12) << false << true;
    QTest::newRow("all(0): square everywhere") << ZulGlassCorners::all(0) << false << false;
}

void TestGlassHelperViews::vibrancyMaskStretchesToTheView()
{
    QFETCH(ZulGlassCorners, corners);
    QFETCH(bool, leftRounded);
    QFETCH(bool, rightRounded);
    ZulVibrancyView view(ZulVisualEffectMaterial::hudWindow, ZulVisualEffectBlendingMode::behindWindow,
                         ZulVisualEffectState::active, corners);
    view.resize(220, 90);
    const QImage image = renderAlone(view);
    const int tint = ZulVibrancyView::materialTint(ZulVisualEffectMaterial::hudWindow).alpha();
    QVERIFY(std::abs(alphaAt(image, {110, 45}) - tint) <= 1);
    // The middle of every edge is filled: the mask stretched, not tiled.
    QVERIFY(std::abs(alphaAt(image, {110, 0}) - tint) <= 1);
    QVERIFY(std::abs(alphaAt(image, {0, 45}) - tint) <= 1);
    QVERIFY(std::abs(alphaAt(image, {219, 45}) - tint) <= 1);
    // Corners keep their size: a rounded corner's pixel is empty.
    QCOMPARE(alphaAt(image, {0, 0}) == 0, leftRounded);
    QCOMPARE(alphaAt(image, {0, 89}) == 0, leftRounded);
    QCOMPARE(alphaAt(image, {219, 0}) == 0, rightRounded);
    QCOMPARE(alphaAt(image, {219, 89}) == 0, rightRounded);
    // Just past the corner radius the edge is filled again.
    if (leftRounded)
        QVERIFY(alphaAt(image, {int(corners.radius) + 2, 0}) > 0);
}

void TestGlassHelperViews::hostWithoutCallbackReportsNothing()
{
    FirstClickHostingView host(new QLabel(QStringLiteral("content")));
    host.resize(120, 80);
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QVERIFY(!host.hasHoverTracking());
    sendEnter(&host);
    QVERIFY(!host.isPointerInside());
}

void TestGlassHelperViews::hostReportsOnlyChanges()
{
    FirstClickHostingView host(new QLabel(QStringLiteral("content")));
    host.setGeometry(100, 100, 120, 80);
    QCursor::setPos(20, 20); // well outside
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QList<bool> reports;
    host.setOnHoverChanged([&](bool inside) { reports << inside; });
    QVERIFY(!host.hasHoverTracking()); // not before the next tracking update
    host.updateTrackingAreas();
    QVERIFY(host.hasHoverTracking());
    QCOMPARE(reports, QList<bool>{}); // outside, as already stored

    sendEnter(&host);
    sendEnter(&host);
    QCOMPARE(reports, QList<bool>{true});
    sendLeave(&host);
    sendLeave(&host);
    QCOMPARE(reports, (QList<bool>{true, false}));

    // Taking the callback away removes the tracking at the next update.
    host.setOnHoverChanged(nullptr);
    host.updateTrackingAreas();
    QVERIFY(!host.hasHoverTracking());
    sendEnter(&host);
    QCOMPARE(reports, (QList<bool>{true, false}));
}

void TestGlassHelperViews::hostReportsRestingPointerWithoutMovement()
{
    FirstClickHostingView host(new QLabel(QStringLiteral("content")));
    QList<bool> reports;
    host.setOnHoverChanged([&](bool inside) { reports << inside; });
    host.setGeometry(300, 300, 120, 80);
    QCursor::setPos(340, 330);
    if (QCursor::pos() != QPoint(340, 330))
        QSKIP("this platform cannot place the pointer");
    host.show();
    QVERIFY(QTest::qWaitForWindowExposed(&host));
    QCOMPARE(reports.value(0), true);
    QVERIFY(host.isPointerInside());
    const qsizetype before = reports.size();
    // A resize rebuilds the tracking; the pointer is still inside, so no report.
    host.resize(140, 90);
    QCoreApplication::processEvents();
    QCOMPARE(reports.size(), before);
    // The panel moves away from the resting pointer: reported as outside.
    host.move(600, 600);
    QTRY_VERIFY(!host.isPointerInside());
    QCOMPARE(reports.last(), false);
}

void TestGlassHelperViews::iconButtonLightsUpOnHover()
{
    const QColor tint(124, 164, 255);
    ZulMinimalIconButton button(QStringLiteral("xmark"), 9, QFont::Bold, 20, tint, [] {});
    QCOMPARE(button.sizeHint(), QSize(20, 20));
    QVERIFY(!button.hover().isHovered());
    QCOMPARE(button.symbolColor().rgb(), tint.rgb());
    QVERIFY(std::abs(button.discColor().alphaF() - 0.05) < 0.002);
    button.resize(20, 20);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    button.clearFocus(); // a window of its own hands it the keyboard, and its ring
    // The disc at rest, sampled beside the glyph.
    QVERIFY(std::abs(alphaAt(renderAlone(button), {10, 1}) - 0.05 * 255) <= 2);

    sendEnter(&button);
    QVERIFY(button.hover().isHovered());
    QVERIFY(button.hoverAmount() < 1.0); // eased, not switched
    QTRY_COMPARE(button.hoverAmount(), 1.0);
    QCOMPARE(button.symbolColor().rgb(), QColor(Qt::white).rgb());
    QVERIFY(std::abs(alphaAt(renderAlone(button), {10, 1}) - 0.14 * 255) <= 2);

    sendLeave(&button);
    QVERIFY(!button.hover().isHovered());
    QTRY_COMPARE(button.hoverAmount(), 0.0);
    QCOMPARE(button.symbolColor().rgb(), tint.rgb());
}

void TestGlassHelperViews::iconButtonRunsItsAction()
{
    int runs = 0;
    ZulMinimalIconButton button(QStringLiteral("plus"), 10.5, QFont::Bold, 22, Qt::white, [&] { ++runs; });
    button.resize(22, 22);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(11, 11));
    QCOMPARE(runs, 1);
}

QTEST_MAIN(TestGlassHelperViews)
#include "tst_glasshelperviews.moc"
