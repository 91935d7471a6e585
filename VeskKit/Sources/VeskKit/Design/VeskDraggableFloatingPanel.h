#pragma once

#include <QPointF>
#include <QPointer>
#include <QRectF>
#include <QWidget>

#include <functional>

// A borderless floating panel the user moves by dragging anywhere on it,
// except on widgets that track drags themselves (text fields and editors,
// sliders, scroll bars, and VeskCustomDragTrackingView widgets). A drag
// starts only after the pointer has gone 4 pixels; until then the content
// sees the movement. Then the window manager moves the panel
// (QWindow::startSystemMove), which also works where the application cannot
// place its windows itself; only where no window manager answers does the
// panel follow the pointer, showing the closed-hand cursor and reporting
// each step to onDragMoved. While dragging the content sees nothing; the
// release goes to the pressed widget far outside it, so a button pressed at
// the start of a drag does not fire.
//
// Frames and points are Qt screen coordinates (origin top left).
class VeskDraggableFloatingPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr qreal dragThreshold = 4;

    explicit VeskDraggableFloatingPanel(QWidget *parent = nullptr);
    ~VeskDraggableFloatingPanel() override;

    std::function<void()> onEscapePressed;
    std::function<void(QRectF)> onDragBegan;
    std::function<void(QRectF)> onDragMoved;
    // Where the panel stood at the release; after a move by the window
    // manager its report of the new place may come only afterwards.
    std::function<void(QPointF)> onDragEnded;
    std::function<void()> onDragCancelled;
    // Where the pointer is, in screen coordinates; replaceable.
    std::function<QPointF()> screenMouseLocationProvider;

    // Moving by the background is this panel's own drag tracking: the flag
    // always reads false and writing it changes nothing.
    bool isMovableByWindowBackground() const { return false; }
    void setMovableByWindowBackground(bool) {}

    bool isDragging() const { return m_didStartDragging; }

    static bool isInteractiveControlThatTracksDrag(const QWidget *hit);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool event(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void resetDragState(bool notifyCancelled);
    bool routeMouse(QWidget *receiver, QEvent *event);

    bool m_trackingPotentialDrag = false;
    bool m_didStartDragging = false;
    bool m_pushedClosedHandCursor = false;
    bool m_windowSystemMoving = false;
    QPointF m_dragStartScreenPoint;
    QPoint m_dragStartWindowOrigin;
    bool m_synthesizing = false;
};
