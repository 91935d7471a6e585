#include "VeskKit/Design/VeskCustomDragTrackingView.h"
#include "VeskKit/Design/VeskDraggableFloatingPanel.h"
#include "VeskKit/Design/VeskFirstClickHostingView.h"
#include "VeskKit/Design/VeskFloatingPanelController.h"
#include "VeskKit/Design/VeskTearOffDragRegion.h"

#include <QCursor>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QSignalSpy>
#include <QVBoxLayout>
#include <QtTest>

namespace {

void sendMouse(QWidget *to, QEvent::Type type, QPoint local, Qt::MouseButtons held)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(local), QPointF(to->mapToGlobal(local)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(to, &event);
}

void press(QWidget *to, QPoint local = {5, 5})
{
    sendMouse(to, QEvent::MouseButtonPress, local, Qt::LeftButton);
}

void dragTo(QWidget *to, QPoint local = {6, 6})
{
    sendMouse(to, QEvent::MouseMove, local, Qt::LeftButton);
}

void release(QWidget *to, QPoint local = {5, 5})
{
    sendMouse(to, QEvent::MouseButtonRelease, local, Qt::NoButton);
}

void pressEscape(QWidget *to)
{
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(to, &escape);
}

// Counts the moves a widget gets to see.
class MoveCounter : public QWidget {
public:
    int moves = 0;

protected:
    void mousePressEvent(QMouseEvent *e) override { e->accept(); }
    void mouseMoveEvent(QMouseEvent *e) override
    {
        ++moves;
        e->accept();
    }
};

class OwnDragArea : public QWidget, public VeskCustomDragTrackingView {};

struct DragFixture {
    VeskDraggableFloatingPanel panel;
    MoveCounter *background = new MoveCounter;
    QPushButton *button = new QPushButton(QStringLiteral("Act"));
    QLineEdit *field = new QLineEdit;
    OwnDragArea *custom = new OwnDragArea;
    QLabel *insideCustom = new QLabel(QStringLiteral("inside"), custom);
    QPointF pointer{500, 500};
    QStringList calls;

    DragFixture()
    {
        auto *layout = new QVBoxLayout(&panel);
        layout->addWidget(background);
        layout->addWidget(button);
        layout->addWidget(field);
        layout->addWidget(custom);
        custom->setMinimumHeight(30);
        panel.setGeometry(100, 100, 220, 200);
        panel.screenMouseLocationProvider = [this] { return pointer; };
        panel.onDragBegan = [this](QRectF f) { calls << QStringLiteral("began %1,%2").arg(f.x()).arg(f.y()); };
        panel.onDragMoved = [this](QRectF f) { calls << QStringLiteral("moved %1,%2").arg(f.x()).arg(f.y()); };
        panel.onDragEnded = [this](QPointF p) { calls << QStringLiteral("ended %1,%2").arg(p.x()).arg(p.y()); };
        panel.onDragCancelled = [this] { calls << QStringLiteral("cancelled"); };
        panel.onEscapePressed = [this] { calls << QStringLiteral("escape"); };
        panel.show();
    }
};

} // namespace

class TestVeskFloatingPanels : public QObject {
    Q_OBJECT
private slots:
    void centredOrigin_data();
    void centredOrigin();
    void controllerCreatesPanelOnFirstShow();
    void controllerCentresOnTheActiveScreen();
    void controllerKeepsLastPositionWithoutPlacement();
    void controllerDismissals();
    void controllerResignKey_data();
    void controllerResignKey();
    void dragBelowThresholdReachesContent();
    void dragAtThresholdMovesPanel();
    void pressOnControlThatTracksDragsNeverMoves_data();
    void pressOnControlThatTracksDragsNeverMoves();
    void dragFromButtonDoesNotFireIt();
    void plainClickOnButtonStillFires();
    void hostingViewHandsTheClickToItsContent();
    void escapeDuringAndOutsideDrag();
    void movableByBackgroundAlwaysReadsFalse();
    void tearOffOutAndBack();
    void tearOffDropOutside();
    void tearOffIgnoresSmallMoves();
};

void TestVeskFloatingPanels::centredOrigin_data()
{
    QTest::addColumn<QRectF>("visible");
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<QPointF>("origin");
    // Origins are top-left corners; 40 above centre means 40 higher on screen.
    QTest::newRow("roomy screen") << QRectF(0, 0, 1440, 875) << QSizeF(400, 300) << QPointF(520, 875 - 327.5 - 300);
    QTest::newRow("short screen keeps 24 above the bottom")
        << QRectF(0, 0, 1440, 200) << QSizeF(400, 300) << QPointF(520, 200 - 24 - 300);
    QTest::newRow("visible area below a top bar")
        << QRectF(0, 25, 1440, 850) << QSizeF(400, 300) << QPointF(520, 875 - (425 - 150 + 40) - 300);
    QTest::newRow("second screen to the right")
        << QRectF(1440, 0, 800, 600) << QSizeF(200, 100) << QPointF(1440 + 300, 600 - (300 - 50 + 40) - 100);
}

void TestVeskFloatingPanels::centredOrigin()
{
    QFETCH(QRectF, visible);
    QFETCH(QSizeF, size);
    QFETCH(QPointF, origin);
    QCOMPARE(VeskFloatingPanelController::centredOrigin(visible, size), origin);
}

void TestVeskFloatingPanels::controllerCreatesPanelOnFirstShow()
{
    int dismissals = 0;
    VeskFloatingPanelController controller(QSizeF(240, 160), false, [&] { ++dismissals; });
    QVERIFY(!controller.panel());
    QVERIFY(!controller.isVisible());
    controller.hide(); // nothing to put away, the owner still hears of it
    QCOMPARE(dismissals, 1);

    QPointer<QLabel> first;
    controller.show(true, QRectF(100, 200, 50, 50), [&] { return first = new QLabel(QStringLiteral("one")); });
    QVERIFY(controller.panel());
    QVERIFY(controller.isVisible());
    QCOMPARE(controller.panel()->pos(), QPoint(100, 200)); // the anchor wins over centring
    QCOMPARE(controller.panel()->size(), QSize(240, 160));
    QCOMPARE(first->parentWidget(), controller.panel());

    VeskFloatingNSPanel *panel = controller.panel();
    QPointer<QLabel> second;
    controller.show(false, QRectF(300, 50, 10, 10), [&] { return second = new QLabel(QStringLiteral("two")); });
    QCOMPARE(controller.panel(), panel); // kept for the controller's life
    QCOMPARE(panel->layout()->count(), 1);
    QCOMPARE(panel->layout()->itemAt(0)->widget(), second.data());
    QTRY_VERIFY(!first); // the old content goes away
}

void TestVeskFloatingPanels::controllerCentresOnTheActiveScreen()
{
    QScreen *screen = QGuiApplication::primaryScreen();
    QVERIFY(screen);
    QCursor::setPos(screen->geometry().center());
    VeskFloatingPanelController controller(QSizeF(300, 120), false, nullptr);
    controller.show(true, std::nullopt, [] { return new QLabel(QStringLiteral("centred")); });
    const QPointF expected =
        VeskFloatingPanelController::centredOrigin(QRectF(screen->availableGeometry()), QSizeF(300, 120));
    QCOMPARE(controller.panel()->pos(), expected.toPoint());
}

void TestVeskFloatingPanels::controllerKeepsLastPositionWithoutPlacement()
{
    VeskFloatingPanelController controller(QSizeF(200, 100), false, nullptr);
    controller.show(false, QRectF(120, 90, 1, 1), [] { return new QLabel; });
    controller.hide();
    controller.show(false, std::nullopt, [] { return new QLabel; });
    QCOMPARE(controller.panel()->pos(), QPoint(120, 90));
}

void TestVeskFloatingPanels::controllerDismissals()
{
    int dismissals = 0;
    VeskFloatingPanelController controller(QSizeF(200, 100), false, [&] { ++dismissals; });
    auto build = [] { return new QLabel(QStringLiteral("x")); };

    controller.show(false, QRectF(10, 10, 1, 1), build);
    pressEscape(controller.panel());
    QVERIFY(!controller.isVisible());
    QCOMPARE(dismissals, 1);

    controller.toggle(false, QRectF(10, 10, 1, 1), build);
    QVERIFY(controller.isVisible());
    QCOMPARE(dismissals, 1);
    controller.toggle(false, QRectF(10, 10, 1, 1), build);
    QVERIFY(!controller.isVisible());
    QCOMPARE(dismissals, 2);

    controller.show(false, std::nullopt, build);
    controller.hide();
    QVERIFY(!controller.isVisible());
    QCOMPARE(dismissals, 3);
}

void TestVeskFloatingPanels::controllerResignKey_data()
{
    QTest::addColumn<bool>("dismissOnResignKey");
    QTest::newRow("dismisses") << true;
    QTest::newRow("stays") << false;
}

void TestVeskFloatingPanels::controllerResignKey()
{
    QFETCH(bool, dismissOnResignKey);
    int dismissals = 0;
    VeskFloatingPanelController controller(QSizeF(200, 100), dismissOnResignKey, [&] { ++dismissals; });
    controller.show(false, QRectF(10, 10, 1, 1), [] { return new QLabel; });
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(controller.panel(), &deactivate);
    QCOMPARE(controller.isVisible(), !dismissOnResignKey);
    QCOMPARE(dismissals, dismissOnResignKey ? 1 : 0);
}

void TestVeskFloatingPanels::dragBelowThresholdReachesContent()
{
    DragFixture f;
    press(f.background);
    f.pointer += QPointF(3.9, 0);
    dragTo(f.background);
    QCOMPARE(f.background->moves, 1);
    QCOMPARE(f.panel.pos(), QPoint(100, 100));
    QVERIFY(f.calls.isEmpty());
}

void TestVeskFloatingPanels::dragAtThresholdMovesPanel()
{
    DragFixture f;
    press(f.background);
    f.pointer += QPointF(4, 0);
    dragTo(f.background);
    QCOMPARE(f.background->moves, 0);
    QCOMPARE(f.panel.pos(), QPoint(104, 100));
    QVERIFY(f.panel.isDragging());
    f.pointer += QPointF(10, 20);
    dragTo(f.background);
    QCOMPARE(f.panel.pos(), QPoint(114, 120));
    release(f.background);
    QVERIFY(!f.panel.isDragging());
    QCOMPARE(f.calls, (QStringList{"began 104,100", "moved 104,100", "moved 114,120", "ended 114,120"}));
}

void TestVeskFloatingPanels::pressOnControlThatTracksDragsNeverMoves_data()
{
    QTest::addColumn<int>("target");
    QTest::newRow("text field") << 0;
    QTest::newRow("widget marked as tracking its own drags") << 1;
    QTest::newRow("child of such a widget") << 2;
}

void TestVeskFloatingPanels::pressOnControlThatTracksDragsNeverMoves()
{
    QFETCH(int, target);
    DragFixture f;
    QWidget *on = target == 0 ? static_cast<QWidget *>(f.field)
                              : target == 1 ? static_cast<QWidget *>(f.custom) : f.insideCustom;
    press(on);
    for (int step = 1; step <= 5; ++step) {
        f.pointer += QPointF(30, 30);
        dragTo(on);
    }
    release(on);
    QCOMPARE(f.panel.pos(), QPoint(100, 100));
    QVERIFY(f.calls.isEmpty());
}

void TestVeskFloatingPanels::dragFromButtonDoesNotFireIt()
{
    DragFixture f;
    QSignalSpy clicked(f.button, &QPushButton::clicked);
    press(f.button);
    QVERIFY(f.button->isDown());
    f.pointer += QPointF(0, 25);
    dragTo(f.button);
    QCOMPARE(f.panel.pos(), QPoint(100, 125));
    release(f.button);
    QCOMPARE(clicked.count(), 0);
    QVERIFY(!f.button->isDown());
    QCOMPARE(f.calls.last(), QStringLiteral("ended 100,125"));
}

void TestVeskFloatingPanels::plainClickOnButtonStillFires()
{
    DragFixture f;
    QSignalSpy clicked(f.button, &QPushButton::clicked);
    press(f.button);
    f.pointer += QPointF(1, 1);
    dragTo(f.button);
    release(f.button);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(f.panel.pos(), QPoint(100, 100));
}

// The hosted view fills the host; a click lands on it, and pressing and
// moving over it never moves the window.
void TestVeskFloatingPanels::hostingViewHandsTheClickToItsContent()
{
    QWidget window;
    auto *content = new QPushButton(QStringLiteral("Go"));
    content->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    VeskFirstClickHostingView host(content, &window);
    host.resize(120, 40);
    window.move(100, 100);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(content->geometry(), host.rect());
    QSignalSpy clicked(content, &QPushButton::clicked);
    QTest::mousePress(window.windowHandle(), Qt::LeftButton, {}, QPoint(60, 20));
    QTest::mouseMove(window.windowHandle(), QPoint(90, 30));
    QTest::mouseRelease(window.windowHandle(), Qt::LeftButton, {}, QPoint(60, 20));
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(window.pos(), QPoint(100, 100));
}

void TestVeskFloatingPanels::escapeDuringAndOutsideDrag()
{
    DragFixture f;
    press(f.background);
    f.pointer += QPointF(20, 0);
    dragTo(f.background);
    f.calls.clear();
    pressEscape(&f.panel);
    QCOMPARE(f.calls, (QStringList{"cancelled", "escape"}));
    QCOMPARE(f.panel.pos(), QPoint(120, 100)); // nothing is put back
    QVERIFY(!f.panel.isDragging());

    f.calls.clear();
    pressEscape(&f.panel);
    QCOMPARE(f.calls, QStringList{"escape"});
}

void TestVeskFloatingPanels::movableByBackgroundAlwaysReadsFalse()
{
    VeskDraggableFloatingPanel panel;
    panel.setMovableByWindowBackground(true);
    QVERIFY(!panel.isMovableByWindowBackground());
}

namespace {

struct TearOffFixture {
    QWidget window;
    QList<QString> calls;
    VeskTearOffDragRegion *region = nullptr;

    TearOffFixture()
    {
        region = new VeskTearOffDragRegion([this](bool outside) { calls << (outside ? "out" : "in"); },
                                           [this](QPointF p) { calls << QStringLiteral("drop %1,%2").arg(p.x()).arg(p.y()); },
                                           &window);
        region->setGeometry(10, 10, 60, 30);
        window.setGeometry(200, 200, 300, 200);
        window.show();
    }

    void moveTo(QPoint screen)
    {
        QCursor::setPos(screen);
        sendMouse(region, QEvent::MouseMove, region->mapFromGlobal(screen), Qt::LeftButton);
    }
};

} // namespace

void TestVeskFloatingPanels::tearOffOutAndBack()
{
    TearOffFixture f;
    const QPoint start = f.region->mapToGlobal(QPoint(20, 10));
    QCursor::setPos(start);
    if (QCursor::pos() != start)
        QSKIP("this platform cannot place the pointer");
    press(f.region, QPoint(20, 10));
    QVERIFY(f.region->isTracking());
    const QRect frame = f.window.frameGeometry();
    f.moveTo(QPoint(frame.right() + 3, frame.center().y())); // within the 4-pixel margin
    QVERIFY(f.calls.isEmpty());
    f.moveTo(QPoint(frame.right() + 20, frame.center().y()));
    QCOMPARE(f.calls, QStringList{"out"});
    f.moveTo(QPoint(frame.right() + 40, frame.center().y()));
    QCOMPARE(f.calls, QStringList{"out"});
    f.moveTo(frame.center());
    QCOMPARE(f.calls, (QStringList{"out", "in"}));
    release(f.region);
    QCOMPARE(f.calls, (QStringList{"out", "in"})); // released inside: no drop
    QVERIFY(!f.region->isTracking());
}

void TestVeskFloatingPanels::tearOffDropOutside()
{
    TearOffFixture f;
    const QPoint start = f.region->mapToGlobal(QPoint(20, 10));
    QCursor::setPos(start);
    if (QCursor::pos() != start)
        QSKIP("this platform cannot place the pointer");
    press(f.region, QPoint(20, 10));
    f.moveTo(QPoint(700, 550));
    release(f.region);
    QCOMPARE(f.calls, (QStringList{"out", "in", "drop 700,550"}));
    QVERIFY(!f.region->isOutsideHost());
}

void TestVeskFloatingPanels::tearOffIgnoresSmallMoves()
{
    TearOffFixture f;
    // A region pressed at the window's edge: leaving by less than 8 pixels
    // from the press reports nothing yet.
    f.region->setGeometry(290, 10, 10, 10);
    const QPoint start = f.region->mapToGlobal(QPoint(9, 5));
    QCursor::setPos(start);
    if (QCursor::pos() != start)
        QSKIP("this platform cannot place the pointer");
    press(f.region, QPoint(9, 5));
    f.moveTo(start + QPoint(7, 0));
    QVERIFY(f.calls.isEmpty());
    f.moveTo(start + QPoint(9, 0));
    QCOMPARE(f.calls, QStringList{"out"});
}

QTEST_MAIN(TestVeskFloatingPanels)
#include "tst_veskfloatingpanels.moc"
