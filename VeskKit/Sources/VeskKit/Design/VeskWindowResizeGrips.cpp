#include "VeskKit/Design/VeskWindowResizeGrips.h"

#include <QEvent>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

#include <algorithm>

namespace {

constexpr std::array<Qt::Edges::Int, 8> kEdges = {
    Qt::TopEdge,
    Qt::BottomEdge,
    Qt::LeftEdge,
    Qt::RightEdge,
    Qt::TopEdge | Qt::LeftEdge,
    Qt::TopEdge | Qt::RightEdge,
    Qt::BottomEdge | Qt::LeftEdge,
    Qt::BottomEdge | Qt::RightEdge,
};

Qt::CursorShape cursorFor(Qt::Edges edges)
{
    const bool top = edges & Qt::TopEdge, bottom = edges & Qt::BottomEdge;
    const bool left = edges & Qt::LeftEdge, right = edges & Qt::RightEdge;
    if ((top && left) || (bottom && right))
        return Qt::SizeFDiagCursor;
    if ((top && right) || (bottom && left))
        return Qt::SizeBDiagCursor;
    if (top || bottom)
        return Qt::SizeVerCursor;
    return Qt::SizeHorCursor;
}

class Grip : public QWidget {
public:
    Grip(Qt::Edges edges, QWidget *window) : QWidget(window), m_edges(edges)
    {
        setCursor(cursorFor(edges));
        setFocusPolicy(Qt::NoFocus);
        // Transparent, but it must still receive presses.
        setAttribute(Qt::WA_NoSystemBackground, true);
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() != Qt::LeftButton)
            return QWidget::mousePressEvent(event);
        QWidget *target = window();
        QWindow *handle = target->windowHandle();
        if (handle && handle->startSystemResize(m_edges))
            return;
        m_startGlobal = event->globalPosition().toPoint();
        m_startGeometry = target->geometry();
        m_following = true;
    }

    void mouseMoveEvent(QMouseEvent *event) override
    {
        if (!m_following)
            return QWidget::mouseMoveEvent(event);
        QWidget *target = window();
        const QPoint delta = event->globalPosition().toPoint() - m_startGlobal;
        QRect g = m_startGeometry;
        const QSize minimum = target->minimumSize();
        if (m_edges & Qt::LeftEdge)
            g.setLeft(std::min(g.left() + delta.x(), g.right() + 1 - minimum.width()));
        if (m_edges & Qt::RightEdge)
            g.setRight(std::max(g.right() + delta.x(), g.left() - 1 + minimum.width()));
        if (m_edges & Qt::TopEdge)
            g.setTop(std::min(g.top() + delta.y(), g.bottom() + 1 - minimum.height()));
        if (m_edges & Qt::BottomEdge)
            g.setBottom(std::max(g.bottom() + delta.y(), g.top() - 1 + minimum.height()));
        target->setGeometry(g);
    }

    void mouseReleaseEvent(QMouseEvent *event) override
    {
        m_following = false;
        QWidget::mouseReleaseEvent(event);
    }

private:
    Qt::Edges m_edges;
    bool m_following = false;
    QPoint m_startGlobal;
    QRect m_startGeometry;
};

} // namespace

VeskWindowResizeGrips::VeskWindowResizeGrips(QWidget *window) : QObject(window), m_window(window)
{
    for (std::size_t i = 0; i < kEdges.size(); ++i)
        m_grips[i] = new Grip(Qt::Edges(kEdges[i]), window);
    window->installEventFilter(this);
    layoutGrips();
}

QWidget *VeskWindowResizeGrips::grip(Qt::Edges edges) const
{
    for (std::size_t i = 0; i < kEdges.size(); ++i)
        if (Qt::Edges(kEdges[i]) == edges)
            return m_grips[i];
    return nullptr;
}

bool VeskWindowResizeGrips::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_window) {
        switch (event->type()) {
        case QEvent::Resize:
        case QEvent::WindowStateChange:
        case QEvent::Show:
        case QEvent::ChildAdded:
            layoutGrips();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

void VeskWindowResizeGrips::layoutGrips()
{
    const int w = m_window->width(), h = m_window->height();
    const int e = edgeThickness, c = cornerSide;
    const bool fixed = m_window->isMaximized() || m_window->isFullScreen();
    const std::array<QRect, 8> frames = {
        QRect(c, 0, w - 2 * c, e),     QRect(c, h - e, w - 2 * c, e), QRect(0, c, e, h - 2 * c),
        QRect(w - e, c, e, h - 2 * c), QRect(0, 0, c, c),             QRect(w - c, 0, c, c),
        QRect(0, h - c, c, c),         QRect(w - c, h - c, c, c),
    };
    for (std::size_t i = 0; i < m_grips.size(); ++i) {
        QWidget *grip = m_grips[i];
        if (!grip)
            continue;
        grip->setGeometry(frames[i]);
        grip->setVisible(!fixed);
        grip->raise();
    }
}
