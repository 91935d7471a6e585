#include "VeskKit/Design/VeskWindowDragArea.h"

#include <QMouseEvent>

VeskWindowDragArea::VeskWindowDragArea(QWidget *parent) : QWidget(parent)
{
    setFocusPolicy(Qt::NoFocus);
}

void VeskWindowDragArea::mousePressEvent(QMouseEvent *event)
{
    if (!m_gesture.press(window(), event))
        QWidget::mousePressEvent(event);
}

void VeskWindowDragArea::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_gesture.move(window(), event))
        QWidget::mouseMoveEvent(event);
}

void VeskWindowDragArea::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_gesture.release(event))
        QWidget::mouseReleaseEvent(event);
}

void VeskWindowDragArea::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!m_gesture.doubleClick(window(), event))
        QWidget::mouseDoubleClickEvent(event);
}
