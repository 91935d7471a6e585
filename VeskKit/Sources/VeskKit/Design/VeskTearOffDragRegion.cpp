#include "VeskKit/Design/VeskTearOffDragRegion.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>

#include <cmath>

VeskTearOffDragRegion::VeskTearOffDragRegion(std::function<void(bool)> onTearOffStateChanged,
                                             std::function<void(QPointF)> onTearOffDropped, QWidget *parent)
    : QWidget(parent), m_onTearOffStateChanged(std::move(onTearOffStateChanged)),
      m_onTearOffDropped(std::move(onTearOffDropped))
{
    setCursor(Qt::OpenHandCursor);
}

VeskTearOffDragRegion::~VeskTearOffDragRegion()
{
    if (m_pushedCursor)
        QGuiApplication::restoreOverrideCursor();
}

void VeskTearOffDragRegion::setActions(std::function<void(bool)> onTearOffStateChanged,
                                       std::function<void(QPointF)> onTearOffDropped)
{
    m_onTearOffStateChanged = std::move(onTearOffStateChanged);
    m_onTearOffDropped = std::move(onTearOffDropped);
}

void VeskTearOffDragRegion::mousePressEvent(QMouseEvent *event)
{
    m_isTracking = true;
    m_isOutsideHost = false;
    m_startScreenPoint = QCursor::pos();
    event->accept();
}

void VeskTearOffDragRegion::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    QWidget *host = window();
    if (!m_isTracking || !host || !host->isVisible())
        return;
    const QPointF pointer = QCursor::pos();
    const QPointF moved = pointer - m_startScreenPoint;
    if (std::hypot(moved.x(), moved.y()) < startDistance)
        return;
    if (!m_pushedCursor) {
        QGuiApplication::setOverrideCursor(Qt::ClosedHandCursor);
        m_pushedCursor = true;
    }
    const QRectF grown = QRectF(host->frameGeometry()).adjusted(-hostMargin, -hostMargin, hostMargin, hostMargin);
    const bool outside = !grown.contains(pointer);
    if (outside == m_isOutsideHost)
        return;
    // No haptic feedback exists here to play as the pointer leaves.
    m_isOutsideHost = outside;
    if (m_onTearOffStateChanged)
        m_onTearOffStateChanged(outside);
}

void VeskTearOffDragRegion::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    if (!m_isTracking)
        return;
    const bool wasOutside = m_isOutsideHost;
    const QPointF pointer = QCursor::pos();
    cleanup();
    if (wasOutside && m_onTearOffDropped)
        m_onTearOffDropped(pointer);
}

void VeskTearOffDragRegion::cleanup()
{
    m_isTracking = false;
    if (m_isOutsideHost) {
        m_isOutsideHost = false;
        if (m_onTearOffStateChanged)
            m_onTearOffStateChanged(false);
    }
    if (m_pushedCursor) {
        QGuiApplication::restoreOverrideCursor();
        m_pushedCursor = false;
    }
}
