#include "PanelTestSupport.h"
#include "VeskKit/Design/VeskPanelWindow.h"
#include "Views/ComputationalEditorView.h"
#include "Views/EdgeDrawerContentView.h"
#include "Views/EditorLayoutMetrics.h"
#include "Views/EdgeDrawerPanel.h"
#include "Views/EdgeHandleHoverState.h"
#include "Views/EdgeHandlePanel.h"
#include "Views/EdgePullHandleView.h"
#include "Views/FirstClickHostingView.h"
#include "Views/SynchronizedComputationalTextView.h"
#include "Views/ZulMinimalIconButton.h"

#include <QEnterEvent>
#include <QTest>
#include <QToolTip>

using namespace paneltest;
using studiotest::Studio;

Q_DECLARE_METATYPE(ZulEdgeSide)

namespace {

// The frames on the 1440 × 900 test screen, in Qt's coordinates.
QRect openDrawer(ZulEdgeSide side)
{
    return side == ZulEdgeSide::right ? QRect(1054, 14, 380, 872) : QRect(6, 14, 380, 872);
}

QRect closedDrawer(ZulEdgeSide side)
{
    return side == ZulEdgeSide::right ? QRect(1452, 14, 380, 872) : QRect(-392, 14, 380, 872);
}

QRect handle(ZulEdgeSide side, bool open)
{
    if (side == ZulEdgeSide::right)
        return open ? QRect(1034, 394, 18, 112) : QRect(1422, 394, 18, 112);
    return open ? QRect(388, 394, 18, 112) : QRect(0, 394, 18, 112);
}

// The longest slide plus room for a slow machine.
constexpr int kSlideSettleMs = 3000;

} // namespace

class TestEdgeDrawerController : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void opensWithASlideFromTheClosedFrame_data();
    void opensWithASlideFromTheClosedFrame();
    void closesWithASlideAndThenHides_data();
    void closesWithASlideAndThenHides();
    void reopeningDuringTheSlideOutKeepsTheDrawer();
    void openingAfterASideChangeStartsOnTheNewSide();
    void disablingHidesEverythingAtOnce();
    void escapeClosesTheDrawer();
    void handleClickTogglesAndHoverOnlyChangesTheLook();
    void panelsStayOnTopAndTheHandleNeverTakesFocus_data();
    void panelsStayOnTopAndTheHandleNeverTakesFocus();
    void screenChangesReplaceVisiblePanelsOnly();
    void drawerFollowsTheScreenUnderThePointer();

private:
    // Builds the view model and waits for the start-up sync to show the handle.
    void start();
    ZulStudioViewModel &viewModel() { return *m_studio->viewModel; }
    EdgeDrawerController &drawer();

    std::unique_ptr<studiotest::PrivateHome> m_home;
    std::unique_ptr<Studio> m_studio;
    std::shared_ptr<Panels> m_panels;
};

void TestEdgeDrawerController::init()
{
    m_home = std::make_unique<studiotest::PrivateHome>();
    m_studio = std::make_unique<Studio>();
    m_panels = std::make_shared<Panels>();
}

void TestEdgeDrawerController::cleanup()
{
    m_studio.reset();
    m_panels.reset();
    m_home.reset();
}

void TestEdgeDrawerController::start()
{
    startWithRealPanels(*m_studio, m_panels);
    // The start-up sync places the handle a moment after the view model is built.
    QTRY_VERIFY(m_panels->drawer && m_panels->drawer->handlePanel() && m_panels->drawer->handlePanel()->isVisible());
}

EdgeDrawerController &TestEdgeDrawerController::drawer()
{
    return *m_panels->drawer;
}

void TestEdgeDrawerController::opensWithASlideFromTheClosedFrame_data()
{
    QTest::addColumn<ZulEdgeSide>("side");
    QTest::newRow("right edge") << ZulEdgeSide::right;
    QTest::newRow("left edge") << ZulEdgeSide::left;
}

void TestEdgeDrawerController::opensWithASlideFromTheClosedFrame()
{
    QFETCH(ZulEdgeSide, side);
    start();
    if (QTest::currentTestFailed())
        return;
    ZulStudioViewModel &viewModel = this->viewModel();
    viewModel.updateConfig([side](ZulConfig &config) { config.edgeSide = side; });
    QCOMPARE(drawer().handlePanel()->geometry(), handle(side, false));

    viewModel.toggleEdgeDrawer();
    QVERIFY(drawer().isDrawerOpen());
    QVERIFY(viewModel.isEdgeDrawerOpen());
    EdgeDrawerPanel *panel = drawer().drawerPanel();
    QVERIFY(panel && panel->isVisible());
    QVERIFY(drawer().isAnimating());
    // The slide starts outside the edge; the handle moves at once.
    QCOMPARE(panel->slideFrame(), closedDrawer(side));
    QCOMPARE(drawer().handlePanel()->geometry(), handle(side, true));

    // Yet the window never leaves the screen, where a window manager would
    // pull it in at once: the drawer's sheet slides within it.
    QSet<int> seen;
    while (drawer().isAnimating()) {
        QVERIFY(QRect(0, 0, 1440, 900).contains(panel->geometry()));
        QCOMPARE(panel->sheet()->mapToGlobal(QPoint()), panel->slideFrame().topLeft());
        seen.insert(panel->slideFrame().x());
        QTest::qWait(10);
    }
    QVERIFY(seen.size() > 2);
    QCOMPARE(panel->geometry(), openDrawer(side));
    QVERIFY(panel->isVisible());
}

void TestEdgeDrawerController::closesWithASlideAndThenHides_data()
{
    opensWithASlideFromTheClosedFrame_data();
}

void TestEdgeDrawerController::closesWithASlideAndThenHides()
{
    QFETCH(ZulEdgeSide, side);
    start();
    if (QTest::currentTestFailed())
        return;
    ZulStudioViewModel &viewModel = this->viewModel();
    viewModel.updateConfig([side](ZulConfig &config) { config.edgeSide = side; });
    viewModel.toggleEdgeDrawer();
    QTRY_VERIFY_WITH_TIMEOUT(!drawer().isAnimating(), kSlideSettleMs);

    viewModel.toggleEdgeDrawer();
    QVERIFY(!drawer().isDrawerOpen());
    QVERIFY(!viewModel.isEdgeDrawerOpen());
    QCOMPARE(drawer().handlePanel()->geometry(), handle(side, false));
    // Still on screen while it slides out.
    QVERIFY(drawer().drawerPanel()->isVisible());
    QTRY_VERIFY_WITH_TIMEOUT(!drawer().drawerPanel()->isVisible(), kSlideSettleMs);
    QCOMPARE(drawer().drawerPanel()->slideFrame(), closedDrawer(side));
    QVERIFY(drawer().handlePanel()->isVisible());
}

void TestEdgeDrawerController::reopeningDuringTheSlideOutKeepsTheDrawer()
{
    start();
    if (QTest::currentTestFailed())
        return;
    ZulStudioViewModel &viewModel = this->viewModel();
    viewModel.toggleEdgeDrawer();
    QTRY_VERIFY_WITH_TIMEOUT(!drawer().isAnimating(), kSlideSettleMs);

    viewModel.toggleEdgeDrawer();
    QVERIFY(drawer().isAnimating());
    QTest::qWait(40);
    viewModel.toggleEdgeDrawer();
    QVERIFY(drawer().isDrawerOpen());
    QTRY_VERIFY_WITH_TIMEOUT(!drawer().isAnimating(), kSlideSettleMs);
    // Give a late completion of the slide out every chance to hide it.
    QTest::qWait(300);
    QVERIFY(drawer().drawerPanel()->isVisible());
    QCOMPARE(drawer().drawerPanel()->geometry(), openDrawer(ZulEdgeSide::right));
    QVERIFY(viewModel.isEdgeDrawerOpen());
}

void TestEdgeDrawerController::openingAfterASideChangeStartsOnTheNewSide()
{
    start();
    if (QTest::currentTestFailed())
        return;
    ZulStudioViewModel &viewModel = this->viewModel();
    viewModel.toggleEdgeDrawer();
    QTRY_VERIFY_WITH_TIMEOUT(!drawer().isAnimating(), kSlideSettleMs);
    viewModel.toggleEdgeDrawer();
    QTRY_VERIFY_WITH_TIMEOUT(!drawer().drawerPanel()->isVisible(), kSlideSettleMs);
    QCOMPARE(drawer().drawerPanel()->slideFrame(), closedDrawer(ZulEdgeSide::right));

    viewModel.updateConfig([](ZulConfig &config) { config.edgeSide = ZulEdgeSide::left; });
    QCOMPARE(drawer().currentSide(), ZulEdgeSide::left);
    QCOMPARE(drawer().handlePanel()->geometry(), handle(ZulEdgeSide::left, false));

    viewModel.toggleEdgeDrawer();
    QCOMPARE(drawer().drawerPanel()->slideFrame(), closedDrawer(ZulEdgeSide::left));
    QTRY_VERIFY_WITH_TIMEOUT(!drawer().isAnimating(), kSlideSettleMs);
    QCOMPARE(drawer().drawerPanel()->geometry(), openDrawer(ZulEdgeSide::left));

    // An open drawer follows a side change at once, without a slide.
    viewModel.updateConfig([](ZulConfig &config) { config.edgeSide = ZulEdgeSide::right; });
    QVERIFY(!drawer().isAnimating());
    QCOMPARE(drawer().drawerPanel()->geometry(), openDrawer(ZulEdgeSide::right));
    QCOMPARE(drawer().handlePanel()->geometry(), handle(ZulEdgeSide::right, true));
}

void TestEdgeDrawerController::disablingHidesEverythingAtOnce()
{
    start();
    if (QTest::currentTestFailed())
        return;
    ZulStudioViewModel &viewModel = this->viewModel();
    viewModel.toggleEdgeDrawer();
    drawer().handleHoverState()->setIsHovering(true);

    viewModel.updateConfig([](ZulConfig &config) { config.edgeDrawerEnabled = false; });
    QVERIFY(!drawer().isDrawerOpen());
    QVERIFY(!viewModel.isEdgeDrawerOpen());
    QVERIFY(!drawer().isAnimating());
    QVERIFY(!drawer().drawerPanel()->isVisible());
    QVERIFY(!drawer().handlePanel()->isVisible());
    QVERIFY(!drawer().handleHoverState()->isHovering());

    // Toggling turns the setting back on and opens the drawer.
    viewModel.toggleEdgeDrawer();
    QVERIFY(viewModel.config().edgeDrawerEnabled);
    QVERIFY(drawer().handlePanel()->isVisible());
    QVERIFY(drawer().drawerPanel()->isVisible());
    QVERIFY(viewModel.isEdgeDrawerOpen());
}

void TestEdgeDrawerController::escapeClosesTheDrawer()
{
    start();
    if (QTest::currentTestFailed())
        return;
    ZulStudioViewModel &viewModel = this->viewModel();
    const ZulNote selected = *viewModel.note(*viewModel.selectedNoteID());
    viewModel.toggleEdgeDrawer();
    EdgeDrawerPanel *panel = drawer().drawerPanel();
    QVERIFY(QTest::qWaitForWindowActive(panel));

    // From inside the editor, where the typing goes at once (spaces and
    // all, which a button holding the keyboard would take).
    for (const char c : QByteArray("1 + 1 "))
        QTest::keyClick(panel->windowHandle(), c);
    QCOMPARE(viewModel.note(selected.id)->content, "1 + 1 " + selected.content);
    QTest::keyClick(panel->windowHandle(), Qt::Key_Escape);
    QVERIFY(!drawer().isDrawerOpen());
    QVERIFY(!viewModel.isEdgeDrawerOpen());

    // Again while it slides out: already closed, nothing changes.
    QTest::keyClick(panel, Qt::Key_Escape);
    QVERIFY(!drawer().isDrawerOpen());
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isVisible(), kSlideSettleMs);

    // The close button does the same.
    viewModel.toggleEdgeDrawer();
    QVERIFY(drawer().isDrawerOpen());
    panel->findChild<EdgeDrawerContentView *>()->closeButton()->click();
    QVERIFY(!drawer().isDrawerOpen());
}

void TestEdgeDrawerController::handleClickTogglesAndHoverOnlyChangesTheLook()
{
    start();
    if (QTest::currentTestFailed())
        return;
    ZulStudioViewModel &viewModel = this->viewModel();
    auto *view = drawer().handlePanel()->findChild<EdgePullHandleView *>();
    auto *host = drawer().handlePanel()->findChild<FirstClickHostingView *>();
    QVERIFY(view && host);

    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(1427, 400));
    QCoreApplication::sendEvent(host, &enter);
    QVERIFY(drawer().handleHoverState()->isHovering());
    QVERIFY(!drawer().isDrawerOpen());
    QVERIFY(!drawer().drawerPanel() || !drawer().drawerPanel()->isVisible());
    QCOMPARE(view->currentAppearance().size, QSizeF(15, 104));

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(host, &leave);
    QVERIFY(!drawer().handleHoverState()->isHovering());
    QCOMPARE(view->currentAppearance().size, QSizeF(10, 84));

    // Resting over it shows what it does, though another window is active.
    QWidget elsewhere;
    elsewhere.show();
    QVERIFY(QTest::qWaitForWindowActive(&elsewhere));
    QTest::mouseMove(view, QPoint(9, 50));
    QTRY_COMPARE(QToolTip::text(), QStringLiteral("Toggle VeskZul Edge Drawer (Ctrl+Alt+N)"));

    // A click anywhere in the panel toggles.
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(1, 100));
    QVERIFY(drawer().isDrawerOpen());
    QVERIFY(viewModel.isEdgeDrawerOpen());
    QTest::mouseClick(view, Qt::LeftButton, {}, QPoint(17, 3));
    QVERIFY(!drawer().isDrawerOpen());
}

void TestEdgeDrawerController::panelsStayOnTopAndTheHandleNeverTakesFocus_data()
{
    QTest::addColumn<bool>("nativeWayland"); // no edge, no keeping above: an ordinary window
    QTest::newRow("X11") << false;
    QTest::newRow("native Wayland") << true;
}

void TestEdgeDrawerController::panelsStayOnTopAndTheHandleNeverTakesFocus()
{
    QFETCH(bool, nativeWayland);
    m_studio->nativeWayland = nativeWayland;
    startWithRealPanels(*m_studio, m_panels);
    QTest::qWait(400); // past the start-up sync that shows the handle
    ZulStudioViewModel &viewModel = this->viewModel();
    viewModel.toggleEdgeDrawer();
    EdgeHandlePanel *handlePanel = drawer().handlePanel();
    EdgeDrawerPanel *drawerPanel = drawer().drawerPanel();
    QVERIFY(drawerPanel->isVisible() && !drawerPanel->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    if (nativeWayland) {
        QVERIFY(!handlePanel && !drawer().isAnimating() && drawerPanel->windowType() == Qt::Window);
        QVERIFY(!(drawerPanel->windowFlags() & (Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)));
        // Its own window button closes it for the view model too.
        QVERIFY(drawerPanel->close() && !viewModel.isEdgeDrawerOpen());
        return;
    }
    for (QWidget *panel : {static_cast<QWidget *>(handlePanel), static_cast<QWidget *>(drawerPanel)}) {
        QVERIFY(panel->isWindow());
        QVERIFY(panel->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QVERIFY(panel->windowFlags().testFlag(Qt::FramelessWindowHint));
        // Not a tool window: Qt makes those transient for the application,
        // and KWin hides them while another application is active.
        QCOMPARE(panel->windowType(), Qt::Window);
        QVERIFY(VeskPanelWindow::isPanel(panel->windowHandle()));
    }
    QVERIFY(handlePanel->windowFlags().testFlag(Qt::WindowDoesNotAcceptFocus));
    QVERIFY(handlePanel->testAttribute(Qt::WA_ShowWithoutActivating));
}

void TestEdgeDrawerController::screenChangesReplaceVisiblePanelsOnly()
{
    start();
    if (QTest::currentTestFailed())
        return;
    ZulStudioViewModel &viewModel = this->viewModel();
    // The screen shrinks while only the handle shows.
    m_panels->layout = ZulScreenLayout{{{QRectF(0, 0, 1280, 800), QRectF(0, 0, 1280, 760)}}, 0, 800};
    drawer().screenParametersChanged();
    const QRect movedHandle(1262, 800 - (380 - 56) - 112, 18, 112);
    QTRY_COMPARE(drawer().handlePanel()->geometry(), movedHandle);

    viewModel.toggleEdgeDrawer();
    QTRY_VERIFY_WITH_TIMEOUT(!drawer().isAnimating(), kSlideSettleMs);
    m_panels->layout = screen1440();
    drawer().screenParametersChanged();
    QTRY_COMPARE(drawer().drawerPanel()->geometry(), openDrawer(ZulEdgeSide::right));
    QCOMPARE(drawer().handlePanel()->geometry(), handle(ZulEdgeSide::right, true));

    // Everything hidden: a change leaves the panels where they were.
    viewModel.updateConfig([](ZulConfig &config) { config.edgeDrawerEnabled = false; });
    const QRect hiddenHandle = drawer().handlePanel()->geometry();
    const QRect hiddenDrawer = drawer().drawerPanel()->geometry();
    m_panels->layout = ZulScreenLayout{{{QRectF(0, 0, 1280, 800), QRectF(0, 0, 1280, 760)}}, 0, 800};
    drawer().screenParametersChanged();
    QTest::qWait(50);
    QCOMPARE(drawer().handlePanel()->geometry(), hiddenHandle);
    QCOMPARE(drawer().drawerPanel()->geometry(), hiddenDrawer);
}

void TestEdgeDrawerController::drawerFollowsTheScreenUnderThePointer()
{
    // A second screen to the right of the first, taller; the pointer on it.
    m_panels->layout = ZulScreenLayout{{{QRectF(0, 0, 1440, 900), QRectF(0, 0, 1440, 900)},
                                        {QRectF(1440, -180, 1920, 1080), QRectF(1440, -180, 1920, 1080)}},
                                       0, 900};
    m_panels->pointer = QPointF(2000, 500);
    start();
    if (QTest::currentTestFailed())
        return;
    ZulStudioViewModel &viewModel = this->viewModel();
    viewModel.toggleEdgeDrawer();
    QTRY_VERIFY_WITH_TIMEOUT(!drawer().isAnimating(), kSlideSettleMs);
    // Visible frame x 1440..3360, Qt y 0..1080.
    QCOMPARE(drawer().drawerPanel()->geometry(), QRect(3360 - 386, 14, 380, 1080 - 28));
    QCOMPARE(drawer().handlePanel()->geometry(), QRect(3360 - 406, 540 - 56, 18, 112));
}

QTEST_MAIN(TestEdgeDrawerController)
#include "tst_edgedrawercontroller.moc"
