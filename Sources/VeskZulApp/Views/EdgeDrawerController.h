#pragma once

#include "Models/ZulEdgeSide.h"
#include "ViewModels/ZulEdgeDrawerControlling.h"
#include "Views/ZulScreenLayout.h"

#include <QObject>
#include <QPointer>
#include <QRectF>
#include <QSizeF>

#include <functional>
#include <optional>

class EdgeDrawerPanel;
class EdgeHandleHoverState;
class EdgeHandlePanel;
class QPropertyAnimation;
class ZulStudioViewModel;

// The screen-edge drawer: a pull handle at the chosen edge and a drawer
// panel that slides in beside it, on the screen under the pointer. It keeps
// both panels where they belong when screens change, and writes the open
// state into the view model whenever it changes it. The view model creates
// it on first need and is its only caller. On native Wayland, where no window
// can be put at an edge or kept above, there is no handle and the drawer is
// an ordinary window that opens and closes without sliding.
class EdgeDrawerController : public QObject, public ZulEdgeDrawerControlling
{
    Q_OBJECT

public:
    // The view model must outlive the controller (it owns it).
    explicit EdgeDrawerController(ZulStudioViewModel &viewModel, QObject *parent = nullptr);
    ~EdgeDrawerController() override;

    bool isDrawerOpen() const override { return m_isDrawerOpen; }
    void openDrawer() override;
    void closeDrawer() override;
    void syncEdgePlacement(ZulEdgeSide side) override;
    void hideAll() override;

    ZulEdgeSide currentSide() const { return m_currentSide; }
    qreal drawerWidth() const { return m_drawerWidth; }
    QSizeF handleSize() const { return m_handleSize; }
    EdgeHandleHoverState *handleHoverState() const { return m_handleHoverState; }
    // Nothing until first needed; then kept for the controller's life.
    EdgeHandlePanel *handlePanel() const;
    EdgeDrawerPanel *drawerPanel() const;
    // True while the drawer slides.
    bool isAnimating() const;

    // Where the pointer is (Qt coordinates) and what the screens are;
    // replaceable so the arithmetic can be driven without real screens.
    std::function<std::optional<QPointF>()> pointerLocationProvider;
    std::function<ZulScreenLayout()> screenLayoutProvider;

    // The frames of the moment, in Qt coordinates: the whole drawer's,
    // which may reach beyond the screen's edge, the handle's, and the visible
    // frame of the screen both stand on.
    QRect drawerFrame(bool open) const;
    QRect handleFrame() const;
    QRect stageFrame() const;

    // Runs on every change of the screens: puts a shown handle and an open
    // drawer back in place, once the change has settled.
    void screenParametersChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool standsAtTheEdge() const;
    QRectF exactHandleFrame() const;
    void placeHandle();
    EdgeHandlePanel *ensureHandlePanel();
    EdgeDrawerPanel *ensureDrawerPanel();
    void positionDrawerPanel(bool open, bool animated);
    QRectF activeVisibleFrame(const ZulScreenLayout &layout) const;
    void observeScreenChanges();
    void watchScreen(class QScreen *screen);
    void setDrawerGeometry(const QRect &frame);

    ZulStudioViewModel *m_viewModel;
    qreal m_drawerWidth;
    QSizeF m_handleSize;
    EdgeHandleHoverState *m_handleHoverState = nullptr;
    QPointer<EdgeHandlePanel> m_handlePanel;
    QPointer<EdgeDrawerPanel> m_drawerPanel;
    QPropertyAnimation *m_slide = nullptr;
    bool m_screenChangePending = false;
    ZulEdgeSide m_currentSide = ZulEdgeSide::right;
    bool m_isDrawerOpen = false;
};
