#include "Views/StickyNotePanel.h"

#include "VeskKit/Design/VeskAccessibleControl.h"
#include "VeskKit/Design/VeskWindowResizeGrips.h"
#include "Views/FloatingStickyNoteView.h"
#include "Views/ZulPanelCornerMask.h"
#include "Views/ZulScreenLayout.h"

#include <QTimer>
#include <QWindow>

#include <utility>

StickyNotePanel::StickyNotePanel(QWidget *parent) : VeskDraggableFloatingPanel(parent)
{
    setAttribute(Qt::WA_TranslucentBackground);
    VeskAccessibleControl::setRole(this, QAccessible::Window);
    m_grips = new VeskWindowResizeGrips(this);
}

bool StickyNotePanel::eventFilter(QObject *watched, QEvent *event)
{
    // The window manager has placed the panel by the time it first shows it:
    // from here on a new frame is the user's doing.
    if (event->type() == QEvent::Expose && !m_lastFrame && watched == m_watched && isVisible()
        && m_watched->isExposed())
        m_lastFrame = m_reported;
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

void StickyNotePanel::watchWindow()
{
    QWindow *window = windowHandle();
    if (!window || window == m_watched)
        return;
    m_watched = window;
    // A window's own position and size signals follow the window system's
    // reports only, never the requests made to it.
    using Report = void (QWindow::*)(int);
    using Apply = void (QRect::*)(int);
    for (const auto &[report, apply] : {std::pair<Report, Apply>{&QWindow::xChanged, &QRect::moveLeft},
                                        {&QWindow::yChanged, &QRect::moveTop},
                                        {&QWindow::widthChanged, &QRect::setWidth},
                                        {&QWindow::heightChanged, &QRect::setHeight}}) {
        connect(window, report, this, [this, apply = apply](int value) {
            (m_reported.*apply)(value);
            scheduleReport();
        });
    }
    window->installEventFilter(this);
}

void StickyNotePanel::scheduleReport()
{
    // A report arrives one coordinate at a time; the frame goes on whole.
    if (m_reportPending)
        return;
    m_reportPending = true;
    QTimer::singleShot(0, this, &StickyNotePanel::reportFrame);
}

void StickyNotePanel::reportFrame()
{
    m_reportPending = false;
    if (!m_lastFrame || m_reported == *m_lastFrame)
        return;
    const bool moved = m_reported.topLeft() != m_lastFrame->topLeft();
    m_lastFrame = m_reported;
    emit frameChanged(ZulWindowPlacement::frameOf(this), moved);
}

void StickyNotePanel::resizeEvent(QResizeEvent *event)
{
    VeskDraggableFloatingPanel::resizeEvent(event);
    ZulPanelCornerMask::apply(this, FloatingStickyNoteView::cornerRadius);
}

void StickyNotePanel::showEvent(QShowEvent *event)
{
    VeskDraggableFloatingPanel::showEvent(event);
    m_reported = geometry();
    watchWindow();
}

void StickyNotePanel::hideEvent(QHideEvent *event)
{
    m_lastFrame.reset();
    VeskDraggableFloatingPanel::hideEvent(event);
}
