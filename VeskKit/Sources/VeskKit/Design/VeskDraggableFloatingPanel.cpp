#include "VeskKit/Design/VeskDraggableFloatingPanel.h"

#include "VeskKit/Design/VeskCustomDragTrackingView.h"
#include "VeskKit/Design/VeskPanelWindow.h"

#include <QAbstractSlider>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QWindow>

#include <cmath>

namespace {

// Far outside any control, so the pressed one sees its release elsewhere.
const QPointF kFarAway(-10000, -10000);

} // namespace

VeskDraggableFloatingPanel::VeskDraggableFloatingPanel(QWidget *parent)
    : QWidget(parent, VeskPanelWindow::flags)
{
    VeskPanelWindow::makePanel(this);
    screenMouseLocationProvider = [] { return QPointF(QCursor::pos()); };
    // Mouse events go to the child under the pointer, not to this window;
    // watching the application is how the panel sees them first.
    qApp->installEventFilter(this);
}

VeskDraggableFloatingPanel::~VeskDraggableFloatingPanel()
{
    qApp->removeEventFilter(this);
    if (m_pushedClosedHandCursor)
        QGuiApplication::restoreOverrideCursor();
}

bool VeskDraggableFloatingPanel::isInteractiveControlThatTracksDrag(const QWidget *hit)
{
    for (const QWidget *w = hit; w; w = w->parentWidget()) {
        if (qobject_cast<const QLineEdit *>(w) || qobject_cast<const QTextEdit *>(w) ||
            qobject_cast<const QPlainTextEdit *>(w) || qobject_cast<const QAbstractSlider *>(w) ||
            dynamic_cast<const VeskCustomDragTrackingView *>(w))
            return true;
        if (w->isWindow())
            break;
    }
    return false;
}

void VeskDraggableFloatingPanel::resetDragState(bool notifyCancelled)
{
    const bool wasDragging = m_didStartDragging;
    m_trackingPotentialDrag = false;
    m_didStartDragging = false;
    m_windowSystemMoving = false;
    if (m_pushedClosedHandCursor) {
        QGuiApplication::restoreOverrideCursor();
        m_pushedClosedHandCursor = false;
    }
    if (wasDragging && notifyCancelled && onDragCancelled)
        onDragCancelled();
}

bool VeskDraggableFloatingPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (m_synthesizing || !watched->isWidgetType())
        return false;
    const QEvent::Type type = event->type();
    if (type != QEvent::MouseButtonPress && type != QEvent::MouseMove && type != QEvent::MouseButtonRelease)
        return false;
    auto *receiver = static_cast<QWidget *>(watched);
    if (receiver->window() != this)
        return false;
    return routeMouse(receiver, event);
}

bool VeskDraggableFloatingPanel::routeMouse(QWidget *receiver, QEvent *event)
{
    auto *mouse = static_cast<QMouseEvent *>(event);
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        if (mouse->button() != Qt::LeftButton)
            return false;
        m_trackingPotentialDrag = false;
        m_didStartDragging = false;
        m_windowSystemMoving = false;
        if (m_pushedClosedHandCursor) {
            QGuiApplication::restoreOverrideCursor();
            m_pushedClosedHandCursor = false;
        }
        // Decide by the widget under the press, not by whichever ancestor the
        // press has propagated to.
        QWidget *hit = childAt(mapFromGlobal(mouse->globalPosition().toPoint()));
        if (isInteractiveControlThatTracksDrag(hit ? hit : receiver))
            return false;
        m_trackingPotentialDrag = true;
        m_dragStartScreenPoint = screenMouseLocationProvider();
        m_dragStartWindowOrigin = pos();
        return false;
    }
    case QEvent::MouseMove: {
        if (!m_trackingPotentialDrag || !(mouse->buttons() & Qt::LeftButton))
            return false;
        if (m_windowSystemMoving)
            return true;
        const QPointF d = screenMouseLocationProvider() - m_dragStartScreenPoint;
        const QPoint moved = m_dragStartWindowOrigin + QPoint(int(std::lround(d.x())), int(std::lround(d.y())));
        if (m_didStartDragging) {
            move(moved);
            if (onDragMoved)
                onDragMoved(QRectF(frameGeometry()));
            return true;
        }
        if (std::hypot(d.x(), d.y()) < dragThreshold)
            return false;
        m_didStartDragging = true;
        if (QWindow *window = windowHandle(); window && window->startSystemMove()) {
            // The window manager moves the panel from here on and reports
            // where it put it; moving it ourselves as well would fight it.
            m_windowSystemMoving = true;
            if (onDragBegan)
                onDragBegan(QRectF(frameGeometry()));
            return true;
        }
        if (!m_pushedClosedHandCursor) {
            QGuiApplication::setOverrideCursor(Qt::ClosedHandCursor);
            m_pushedClosedHandCursor = true;
        }
        move(moved);
        if (onDragBegan)
            onDragBegan(QRectF(frameGeometry()));
        if (onDragMoved)
            onDragMoved(QRectF(frameGeometry()));
        return true;
    }
    case QEvent::MouseButtonRelease: {
        if (mouse->button() != Qt::LeftButton)
            return false;
        if (!m_didStartDragging) {
            m_trackingPotentialDrag = false;
            return false;
        }
        const QPointF origin = pos();
        m_trackingPotentialDrag = false;
        m_didStartDragging = false;
        m_windowSystemMoving = false;
        if (m_pushedClosedHandCursor) {
            QGuiApplication::restoreOverrideCursor();
            m_pushedClosedHandCursor = false;
        }
        QMouseEvent faraway(QEvent::MouseButtonRelease, kFarAway, receiver->mapToGlobal(kFarAway), mouse->button(),
                            mouse->buttons(), mouse->modifiers(), mouse->pointingDevice());
        faraway.setTimestamp(mouse->timestamp());
        m_synthesizing = true;
        QCoreApplication::sendEvent(receiver, &faraway);
        m_synthesizing = false;
        if (onDragEnded)
            onDragEnded(origin);
        return true;
    }
    default:
        return false;
    }
}

void VeskDraggableFloatingPanel::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        resetDragState(true);
        if (onEscapePressed)
            onEscapePressed();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool VeskDraggableFloatingPanel::event(QEvent *event)
{
    if (event->type() == QEvent::WindowDeactivate)
        resetDragState(true);
    return QWidget::event(event);
}

void VeskDraggableFloatingPanel::hideEvent(QHideEvent *event)
{
    resetDragState(true);
    QWidget::hideEvent(event);
}
