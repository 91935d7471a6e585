#include "Views/EdgeDrawerController.h"

#include "VeskKit/Design/VeskEasing.h"
#include "VeskKit/Design/VeskProductPalette.h"
#include "ViewModels/ZulStudioViewModel.h"
#include "Views/ComputationalEditorView.h"
#include "Views/EdgeDrawerContentView.h"
#include "Views/EdgeDrawerGeometry.h"
#include "Views/EdgeDrawerPanel.h"
#include "Views/EdgeHandleHoverState.h"
#include "Views/EdgeHandlePanel.h"
#include "Views/EdgePullHandleView.h"
#include "Views/FirstClickHostingView.h"
#include "Views/SynchronizedComputationalTextView.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPropertyAnimation>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

namespace {

void hostIn(QWidget *panel, QWidget *host)
{
    auto *layout = new QVBoxLayout(panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(host);
}

} // namespace

EdgeDrawerController::EdgeDrawerController(ZulStudioViewModel &viewModel, QObject *parent)
    : QObject(parent), m_viewModel(&viewModel), m_drawerWidth(EdgeDrawerGeometry::drawerWidth),
      m_handleSize(EdgeDrawerGeometry::handleSize), m_handleHoverState(new EdgeHandleHoverState(this)),
      m_currentSide(viewModel.config().edgeSide)
{
    pointerLocationProvider = [] { return std::optional<QPointF>(QPointF(QCursor::pos())); };
    screenLayoutProvider = [] { return ZulScreenLayout::current(); };
    observeScreenChanges();
}

EdgeDrawerController::~EdgeDrawerController()
{
    // Panels are top-level windows: nothing else would delete them.
    delete m_handlePanel.data();
    delete m_drawerPanel.data();
}

EdgeHandlePanel *EdgeDrawerController::handlePanel() const
{
    return m_handlePanel;
}

EdgeDrawerPanel *EdgeDrawerController::drawerPanel() const
{
    return m_drawerPanel;
}

bool EdgeDrawerController::isAnimating() const
{
    return m_slide && m_slide->state() == QAbstractAnimation::Running;
}

QRectF EdgeDrawerController::activeVisibleFrame(const ZulScreenLayout &layout) const
{
    std::optional<QPointF> pointer = pointerLocationProvider ? pointerLocationProvider() : std::nullopt;
    if (pointer)
        pointer = ZulScreenCoordinates::pointToBottomLeft(*pointer, layout.flipAxis);
    return layout.visibleFrameAt(pointer);
}

QRect EdgeDrawerController::drawerFrame(bool open) const
{
    const ZulScreenLayout layout = screenLayoutProvider();
    const QRectF frame = EdgeDrawerGeometry::drawerFrame(activeVisibleFrame(layout), m_currentSide, open);
    return ZulScreenCoordinates::toTopLeft(frame, layout.flipAxis).toRect();
}

QRect EdgeDrawerController::stageFrame() const
{
    const ZulScreenLayout layout = screenLayoutProvider();
    return ZulScreenCoordinates::toTopLeft(activeVisibleFrame(layout), layout.flipAxis).toRect();
}

QRectF EdgeDrawerController::exactHandleFrame() const
{
    const ZulScreenLayout layout = screenLayoutProvider();
    const QRectF frame = EdgeDrawerGeometry::handleFrame(activeVisibleFrame(layout), m_currentSide, m_isDrawerOpen);
    return ZulScreenCoordinates::toTopLeft(frame, layout.flipAxis);
}

QRect EdgeDrawerController::handleFrame() const
{
    return exactHandleFrame().toRect();
}

void EdgeDrawerController::placeHandle()
{
    if (!m_handlePanel)
        return;
    // Out to whole device pixels, and grown away from the screen's edge: a
    // pointer flung at the edge meets the handle in the edge's last column.
    ZulWindowPlacement::place(m_handlePanel, exactHandleFrame(), true,
                              m_currentSide == ZulEdgeSide::left ? Qt::LeftEdge : Qt::RightEdge);
}

EdgeHandlePanel *EdgeDrawerController::ensureHandlePanel()
{
    if (m_handlePanel)
        return m_handlePanel;
    auto *panel = new EdgeHandlePanel;
    const QPointer<EdgeDrawerController> weakSelf(this);
    auto *view = new EdgePullHandleView(
        m_viewModel, m_handleHoverState,
        [weakSelf] {
            if (!weakSelf)
                return;
            if (weakSelf->m_isDrawerOpen)
                weakSelf->closeDrawer();
            else
                weakSelf->openDrawer();
        },
        accentColor(VeskProductPalette::deepIndigo));
    auto *host = new FirstClickHostingView(view);
    // Hover only changes the handle's look, never the drawer.
    const QPointer<EdgeHandleHoverState> hover(m_handleHoverState);
    host->setOnHoverChanged([hover](bool inside) {
        if (hover)
            hover->setIsHovering(inside);
    });
    host->updateTrackingAreas();
    hostIn(panel, host);
    m_handlePanel = panel;
    placeHandle();
    return panel;
}

EdgeDrawerPanel *EdgeDrawerController::ensureDrawerPanel()
{
    if (m_drawerPanel)
        return m_drawerPanel;
    auto *panel = new EdgeDrawerPanel;
    if (standsAtTheEdge()) {
        panel->setStage(stageFrame());
        panel->setSlideFrame(drawerFrame(false));
    } else {
        // Where it cannot be put at the edge, the drawer is a window like
        // any other, moved and closed by the compositor's own decorations.
        panel->setWindowFlags(Qt::Window);
        panel->setWindowTitle(QStringLiteral("VeskZul"));
        // Glass over the windows behind reads as clutter inside a frame of
        // the compositor's: the drawer stands on the studio's own ground.
        panel->setAttribute(Qt::WA_TranslucentBackground, false);
        QPalette ground = panel->palette();
        ground.setColor(QPalette::Window, groundStops(VeskProductPalette::deepIndigo).middle);
        panel->setPalette(ground);
        panel->setAutoFillBackground(true);
        panel->resize(drawerFrame(true).size());
        panel->installEventFilter(this);
    }
    const QPointer<EdgeDrawerController> weakSelf(this);
    auto close = [weakSelf] {
        if (weakSelf)
            weakSelf->closeDrawer();
    };
    panel->onEscapePressed = close;
    auto *content = new EdgeDrawerContentView(m_viewModel, close, accentColor(VeskProductPalette::deepIndigo));
    hostIn(panel->sheet(), new FirstClickHostingView(content));

    m_slide = new QPropertyAnimation(panel, "slideFrame", this);
    connect(m_slide, &QPropertyAnimation::finished, this, [this] {
        // Only a slide that ends closed hides the drawer: one reopened
        // meanwhile stays.
        if (!m_isDrawerOpen && m_drawerPanel)
            m_drawerPanel->hide();
    });
    m_drawerPanel = panel;
    return panel;
}

void EdgeDrawerController::setDrawerGeometry(const QRect &frame)
{
    if (!m_drawerPanel)
        return;
    if (m_slide)
        m_slide->stop();
    m_drawerPanel->setStage(stageFrame());
    m_drawerPanel->setSlideFrame(frame);
}

void EdgeDrawerController::positionDrawerPanel(bool open, bool animated)
{
    if (!m_drawerPanel)
        return;
    const QRect target = drawerFrame(open);
    if (!animated) {
        setDrawerGeometry(target);
        return;
    }
    m_slide->stop();
    m_slide->setDuration(open ? EdgeDrawerGeometry::slideInMs : EdgeDrawerGeometry::slideOutMs);
    m_slide->setEasingCurve(open ? veskEaseOutCurve() : veskEaseInOutCurve());
    m_drawerPanel->setStage(stageFrame());
    m_slide->setStartValue(m_drawerPanel->slideFrame());
    m_slide->setEndValue(target);
    m_slide->start();
}

bool EdgeDrawerController::standsAtTheEdge() const
{
    return !m_viewModel->isOnNativeWayland();
}

bool EdgeDrawerController::eventFilter(QObject *watched, QEvent *event)
{
    // The window's own close button closes the drawer as the drawer's does.
    if (event->type() == QEvent::Close && m_isDrawerOpen && watched == m_drawerPanel) {
        m_isDrawerOpen = false;
        m_viewModel->setIsEdgeDrawerOpen(false);
    }
    return QObject::eventFilter(watched, event);
}

void EdgeDrawerController::openDrawer()
{
    m_currentSide = m_viewModel->config().edgeSide;
    EdgeHandlePanel *handle = standsAtTheEdge() ? ensureHandlePanel() : nullptr;
    EdgeDrawerPanel *drawer = ensureDrawerPanel();
    // Every slide starts from the closed frame of the side in force now,
    // also after the side changed while the drawer was closed.
    if (!m_isDrawerOpen && handle)
        setDrawerGeometry(drawerFrame(false));
    m_isDrawerOpen = true;
    m_viewModel->setIsEdgeDrawerOpen(true);
    drawer->show();
    drawer->raise();
    drawer->activateWindow();
    // Whoever opens the drawer means to type into its note, not into the
    // first button that takes the keyboard.
    if (auto *content = drawer->findChild<EdgeDrawerContentView *>(); content && !content->isShowingEmptyState())
        content->editor()->textView()->setFocus(Qt::OtherFocusReason);
    if (!handle)
        return;
    positionDrawerPanel(true, true);
    placeHandle();
}

void EdgeDrawerController::closeDrawer()
{
    if (!m_isDrawerOpen)
        return;
    m_isDrawerOpen = false;
    m_viewModel->setIsEdgeDrawerOpen(false);
    if (!standsAtTheEdge()) {
        if (m_drawerPanel)
            m_drawerPanel->hide();
        return;
    }
    positionDrawerPanel(false, true);
    placeHandle();
}

void EdgeDrawerController::syncEdgePlacement(ZulEdgeSide side)
{
    m_currentSide = side;
    // No handle where it could not stand at the edge: the drawer opens from
    // the command menu and the other surfaces' buttons there.
    if (!standsAtTheEdge())
        return;
    EdgeHandlePanel *handle = ensureHandlePanel();
    placeHandle();
    handle->show();
    handle->raise();
    if (m_isDrawerOpen && m_drawerPanel)
        setDrawerGeometry(drawerFrame(true));
}

void EdgeDrawerController::hideAll()
{
    m_isDrawerOpen = false;
    m_viewModel->setIsEdgeDrawerOpen(false);
    m_handleHoverState->setIsHovering(false);
    if (m_slide)
        m_slide->stop();
    if (m_drawerPanel)
        m_drawerPanel->hide();
    if (m_handlePanel)
        m_handlePanel->hide();
}

void EdgeDrawerController::observeScreenChanges()
{
    auto *app = qGuiApp;
    if (!app)
        return;
    connect(app, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
        watchScreen(screen);
        screenParametersChanged();
    });
    connect(app, &QGuiApplication::screenRemoved, this, &EdgeDrawerController::screenParametersChanged);
    connect(app, &QGuiApplication::primaryScreenChanged, this, &EdgeDrawerController::screenParametersChanged);
    for (QScreen *screen : QGuiApplication::screens())
        watchScreen(screen);
}

void EdgeDrawerController::watchScreen(QScreen *screen)
{
    connect(screen, &QScreen::geometryChanged, this, &EdgeDrawerController::screenParametersChanged);
    connect(screen, &QScreen::availableGeometryChanged, this, &EdgeDrawerController::screenParametersChanged);
}

void EdgeDrawerController::screenParametersChanged()
{
    // A change arrives as several signals; place the panels once, after
    // the screens have settled.
    if (m_screenChangePending)
        return;
    m_screenChangePending = true;
    QTimer::singleShot(0, this, [this] {
        m_screenChangePending = false;
        if (!standsAtTheEdge())
            return;
        const bool handleShown = m_handlePanel && m_handlePanel->isVisible();
        if (!handleShown && !m_isDrawerOpen)
            return;
        placeHandle();
        if (m_isDrawerOpen)
            setDrawerGeometry(drawerFrame(true));
    });
}
