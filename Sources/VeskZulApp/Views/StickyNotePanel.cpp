#include "Views/StickyNotePanel.h"

#include "VeskKit/Design/VeskAccessibleControl.h"
#include "VeskKit/Design/VeskWindowResizeGrips.h"
#include "Views/FloatingStickyNoteView.h"
#include "Views/ZulPanelCornerMask.h"

#include <QWindow>

StickyNotePanel::StickyNotePanel(QWidget *parent) : VeskDraggableFloatingPanel(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    VeskAccessibleControl::setRole(this, QAccessible::Window);
    m_grips = new VeskWindowResizeGrips(this);
}

bool StickyNotePanel::eventFilter(QObject *watched, QEvent *event)
{
    // A press on an edge resizes: it must not also start moving the panel.
    if (m_grips && watched->isWidgetType() && static_cast<QWidget *>(watched)->parentWidget() == this) {
        for (Qt::Edges edges : {Qt::Edges(Qt::TopEdge), Qt::Edges(Qt::BottomEdge), Qt::Edges(Qt::LeftEdge),
                                Qt::Edges(Qt::RightEdge), Qt::TopEdge | Qt::LeftEdge, Qt::TopEdge | Qt::RightEdge,
                                Qt::BottomEdge | Qt::LeftEdge, Qt::BottomEdge | Qt::RightEdge}) {
            if (watched == m_grips->grip(edges))
                return QWidget::eventFilter(watched, event);
        }
    }
    return VeskDraggableFloatingPanel::eventFilter(watched, event);
}

bool StickyNotePanel::isAlwaysOnTop() const
{
    return windowFlags().testFlag(Qt::WindowStaysOnTopHint);
}

void StickyNotePanel::setAlwaysOnTop(bool onTop)
{
    if (onTop == isAlwaysOnTop())
        return;
    Qt::WindowFlags flags = windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    // Telling the existing window changes its level where it stands;
    // setWindowFlags() would recreate it, hidden.
    overrideWindowFlags(flags);
    if (QWindow *window = windowHandle())
        window->setFlags(flags);
}

void StickyNotePanel::noteFrame()
{
    if (!m_lastFrame)
        return;
    const QRect frame = geometry();
    if (frame == *m_lastFrame)
        return;
    const bool moved = frame.topLeft() != m_lastFrame->topLeft();
    m_lastFrame = frame;
    emit frameChanged(moved);
}

void StickyNotePanel::moveEvent(QMoveEvent *event)
{
    VeskDraggableFloatingPanel::moveEvent(event);
    noteFrame();
}

void StickyNotePanel::resizeEvent(QResizeEvent *event)
{
    VeskDraggableFloatingPanel::resizeEvent(event);
    ZulPanelCornerMask::apply(this, FloatingStickyNoteView::cornerRadius);
    noteFrame();
}

void StickyNotePanel::showEvent(QShowEvent *event)
{
    VeskDraggableFloatingPanel::showEvent(event);
    m_lastFrame = geometry();
}

void StickyNotePanel::hideEvent(QHideEvent *event)
{
    m_lastFrame.reset();
    VeskDraggableFloatingPanel::hideEvent(event);
}
