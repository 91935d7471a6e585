#include "Views/ZulTrayPopoverWindow.h"

#include "VeskKit/Design/VeskAccessibleControl.h"
#include "VeskKit/Design/VeskFloatingPanelController.h"
#include "VeskKit/Design/VeskGlassScrollBar.h"
#include "VeskKit/Design/VeskPanelWindow.h"
#include "VeskKit/Design/VeskWindowSystem.h"
#include "Views/MenuBarZulPopoverView.h"
#include "Views/ZulPanelCornerMask.h"
#include "Views/ZulScreenLayout.h"

#include <QCursor>
#include <QEvent>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

// A click elsewhere that lands on the tray icon puts the popup away before
// the icon reports it; the icon's report within this long is that click's.
constexpr qint64 kClickThroughMs = 400;

} // namespace

ZulTrayPopoverWindow::ZulTrayPopoverWindow(ZulStudioViewModel *viewModel, std::function<void()> onOpenStudio,
                                           const QColor &accent, QWidget *parent)
    : QWidget(parent, VeskPanelWindow::flags | Qt::NoDropShadowWindowHint)
{
    // A window the window manager gives the keyboard to, not a popup: a
    // Wayland compositor gives none to an X11 popup, which then grabs keys
    // in vain.
    VeskPanelWindow::makePanel(this);
    setAttribute(Qt::WA_TranslucentBackground);
    VeskAccessibleControl::setRole(this, QAccessible::Window);
    setWindowTitle(QStringLiteral("VeskZul"));
    availableAreaProvider = [](const QRect &anchor) {
        const ZulScreenLayout layout = ZulScreenLayout::current();
        std::optional<QPointF> at;
        if (!anchor.isNull())
            at = ZulScreenCoordinates::pointToBottomLeft(QRectF(anchor).center(), layout.flipAxis);
        return ZulScreenCoordinates::toTopLeft(layout.visibleFrameAt(at), layout.flipAxis).toRect();
    };
    pointerProvider = []() -> std::optional<QPoint> {
        if (VeskWindowSystem::isWaylandSession())
            return std::nullopt;
        return QCursor::pos();
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
    int x = 0;
    int y = 0;
    if (anchor.isNull()) {
        const QPointF centred = VeskFloatingPanelController::centredOrigin(QRectF(available), QSizeF(size));
        x = int(std::lround(centred.x()));
        y = int(std::lround(centred.y()));
    } else {
        const QPoint centre = anchor.center();
        const bool trayBelowMiddle = centre.y() > available.center().y();
        x = centre.x() - size.width() / 2;
        y = trayBelowMiddle ? anchor.top() - gap - size.height() : anchor.bottom() + 1 + gap;
    }
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
    if (m_sinceFocusLoss.isValid() && m_sinceFocusLoss.elapsed() < kClickThroughMs) {
        m_sinceFocusLoss.invalidate();
        return;
    }
    showNear(trayIconGeometry);
}

void ZulTrayPopoverWindow::showNear(const std::optional<QRect> &trayIconGeometry)
{
    QRect anchor;
    if (trayIconGeometry && trayIconGeometry->isValid() && !trayIconGeometry->isEmpty())
        anchor = *trayIconGeometry;
    else if (const std::optional<QPoint> pointer = pointerProvider ? pointerProvider() : std::nullopt)
        anchor = QRect(*pointer, QSize(1, 1));
    m_anchor = anchor;
    place();
    // Whoever opens it means to type a calculation, after what the scratch
    // holds, as a text view first shown takes it.
    QPlainTextEdit *scratch = m_content->scratchEditor();
    if (!m_openedBefore)
        scratch->moveCursor(QTextCursor::End);
    m_openedBefore = true;
    scratch->setFocus(Qt::PopupFocusReason);
    show();
    raise();
    VeskPanelWindow::activate(this);
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

void ZulTrayPopoverWindow::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        hide();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ZulTrayPopoverWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    // Losing the keyboard to another window is a click elsewhere; hiding
    // loses it too, and is told apart by the window being hidden already.
    if (event->type() == QEvent::ActivationChange && isVisible() && !isHidden() && !isActiveWindow()) {
        hide();
        m_sinceFocusLoss.start();
    }
}

void ZulTrayPopoverWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ZulPanelCornerMask::apply(this, MenuBarZulPopoverView::cornerRadius);
}
