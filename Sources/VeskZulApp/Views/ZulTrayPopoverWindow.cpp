#include "Views/ZulTrayPopoverWindow.h"

#include "VeskKit/Design/VeskAccessibleControl.h"
#include "VeskKit/Design/VeskGlassScrollBar.h"
#include "Views/MenuBarZulPopoverView.h"
#include "Views/ZulPanelCornerMask.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>

ZulTrayPopoverWindow::ZulTrayPopoverWindow(ZulStudioViewModel *viewModel, std::function<void()> onOpenStudio,
                                           const QColor &accent, QWidget *parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    VeskAccessibleControl::setRole(this, QAccessible::Window);
    setWindowTitle(QStringLiteral("VeskZul"));
    availableAreaProvider = [](const QRect &anchor) {
        QScreen *screen = QGuiApplication::screenAt(anchor.center());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        return screen ? screen->availableGeometry() : QRect(0, 0, 1440, 900);
    };
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_scroll = new QScrollArea(this);
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setWidgetResizable(true);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_scroll->setStyleSheet(QStringLiteral("QScrollArea { background: transparent; }"));
    VeskGlassScrollBar::apply(m_scroll);
    m_scroll->viewport()->setAutoFillBackground(false);
    // It can take the keyboard, so a reader names it: the product's name,
    // as the window's.
    m_scroll->setAccessibleName(windowTitle());
    layout->addWidget(m_scroll);
    // Opening the studio or the drawer from here puts the popup away first.
    auto openStudio = [this, onOpenStudio = std::move(onOpenStudio)] {
        hide();
        if (onOpenStudio)
            onOpenStudio();
    };
    m_content = new MenuBarZulPopoverView(viewModel, openStudio, accent);
    m_scroll->setWidget(m_content);
    m_content->setAutoFillBackground(false);
    // Its layout has taken the new rows by the time this filter sees the request.
    m_content->installEventFilter(this);
}

QPoint ZulTrayPopoverWindow::popupOrigin(QSize size, const QRect &anchor, const QRect &available)
{
    const QPoint centre = anchor.center();
    const bool trayBelowMiddle = centre.y() > available.center().y();
    int x = centre.x() - size.width() / 2;
    int y = trayBelowMiddle ? anchor.top() - gap - size.height() : anchor.bottom() + 1 + gap;
    // Inside the visible area, where it is large enough; a popup larger than
    // the screen keeps its top-left corner on it.
    x = std::max(std::min(x, available.right() + 1 - gap - size.width()), available.left() + gap);
    y = std::max(std::min(y, available.bottom() + 1 - gap - size.height()), available.top() + gap);
    return QPoint(x, y);
}

void ZulTrayPopoverWindow::toggleNear(const std::optional<QRect> &trayIconGeometry)
{
    if (isVisible()) {
        hide();
        return;
    }
    showNear(trayIconGeometry);
}

void ZulTrayPopoverWindow::showNear(const std::optional<QRect> &trayIconGeometry)
{
    const QRect anchor = trayIconGeometry && trayIconGeometry->isValid() && !trayIconGeometry->isEmpty()
                             ? *trayIconGeometry
                             : QRect(QCursor::pos(), QSize(1, 1));
    m_anchor = anchor;
    place();
    // A popup gives the keyboard to the part that last had it, and on its
    // first opening to none: whoever opens it means to type a calculation,
    // after what the scratch holds, as a text view first shown takes it.
    QPlainTextEdit *scratch = m_content->scratchEditor();
    if (!m_openedBefore)
        scratch->moveCursor(QTextCursor::End);
    m_openedBefore = true;
    scratch->setFocus(Qt::PopupFocusReason);
    show();
    raise();
    activateWindow();
}

void ZulTrayPopoverWindow::place()
{
    if (!m_anchor)
        return;
    const QRect available = availableAreaProvider(*m_anchor);
    const int wanted = m_content->sizeHint().height();
    const int room = std::max(1, available.height() - 2 * gap);
    const bool scrolls = wanted > room;
    const QSize size(m_content->width() + (scrolls ? m_scroll->verticalScrollBar()->sizeHint().width() : 0),
                     std::min(wanted, room));
    setGeometry(QRect(popupOrigin(size, *m_anchor, available), size));
}

bool ZulTrayPopoverWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_content && event->type() == QEvent::LayoutRequest && isVisible())
        place();
    return QWidget::eventFilter(watched, event);
}

void ZulTrayPopoverWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ZulPanelCornerMask::apply(this, MenuBarZulPopoverView::cornerRadius);
}
