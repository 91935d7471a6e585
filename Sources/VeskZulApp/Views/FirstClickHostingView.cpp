#include "Views/FirstClickHostingView.h"

#include <QCursor>
#include <QEnterEvent>
#include <QVBoxLayout>

FirstClickHostingView::FirstClickHostingView(QWidget *rootView, QWidget *parent)
    : QWidget(parent), m_rootView(rootView)
{
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    if (m_rootView) {
        layout->addWidget(m_rootView);
        connect(m_rootView, &QWidget::windowTitleChanged, this, &FirstClickHostingView::nameWindow);
    }
}

void FirstClickHostingView::nameWindow()
{
    // The panel takes its content's title: what a screen reader announces
    // when the panel comes up.
    QWidget *panel = window();
    if (m_rootView && panel != this && !m_rootView->windowTitle().isEmpty())
        panel->setWindowTitle(m_rootView->windowTitle());
}

void FirstClickHostingView::setOnHoverChanged(std::function<void(bool)> callback)
{
    m_onHoverChanged = std::move(callback);
}

void FirstClickHostingView::updateTrackingAreas()
{
    m_hoverTracking = false;
    if (!m_onHoverChanged)
        return;
    m_hoverTracking = true;
    syncPointerLocation();
}

void FirstClickHostingView::syncPointerLocation()
{
    if (!isVisible())
        return;
    const QPoint local = mapFromGlobal(QCursor::pos());
    updateHover(rect().contains(local));
}

void FirstClickHostingView::updateHover(bool inside)
{
    if (inside == m_isPointerInside)
        return;
    m_isPointerInside = inside;
    if (m_onHoverChanged)
        m_onHoverChanged(inside);
}

void FirstClickHostingView::enterEvent(QEnterEvent *event)
{
    QWidget::enterEvent(event);
    if (m_hoverTracking)
        updateHover(true);
}

void FirstClickHostingView::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    if (m_hoverTracking)
        updateHover(false);
}

void FirstClickHostingView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    updateTrackingAreas();
}

void FirstClickHostingView::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    updateTrackingAreas();
}

void FirstClickHostingView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    nameWindow();
    // A panel moves as a whole window; its content sees no move of its own.
    QWidget *panel = window();
    if (panel != this && panel != m_watchedWindow) {
        if (m_watchedWindow)
            m_watchedWindow->removeEventFilter(this);
        m_watchedWindow = panel;
        panel->installEventFilter(this);
    }
    updateTrackingAreas();
}

bool FirstClickHostingView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_watchedWindow && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        updateTrackingAreas();
    return QWidget::eventFilter(watched, event);
}
