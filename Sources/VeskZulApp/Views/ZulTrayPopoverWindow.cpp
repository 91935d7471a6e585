#include "Views/ZulTrayPopoverWindow.h"

#include "Views/MenuBarZulPopoverView.h"
#include "Views/ZulPanelCornerMask.h"

#include <QCursor>
#include <QGuiApplication>
#include <QPlainTextEdit>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>

ZulTrayPopoverWindow::ZulTrayPopoverWindow(ZulStudioViewModel *viewModel, std::function<void()> onOpenStudio,
                                           const QColor &accent, QWidget *parent)
    : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint | Qt::NoDropShadowWindowHint)
{
    setAttribute(Qt::WA_TranslucentBackground);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Opening the studio or the drawer from here puts the popup away first.
    auto openStudio = [this, onOpenStudio = std::move(onOpenStudio)] {
        hide();
        if (onOpenStudio)
            onOpenStudio();
    };
    m_content = new MenuBarZulPopoverView(viewModel, openStudio, accent, this);
    layout->addWidget(m_content);
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
    QScreen *screen = QGuiApplication::screenAt(anchor.center());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    adjustSize();
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1440, 900);
    move(popupOrigin(sizeHint(), anchor, available));
    // A popup gives the keyboard to the part that last had it, and on its
    // first opening to none: whoever opens it means to type a calculation.
    m_content->scratchEditor()->setFocus(Qt::PopupFocusReason);
    show();
    raise();
    activateWindow();
}

void ZulTrayPopoverWindow::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    ZulPanelCornerMask::apply(this, MenuBarZulPopoverView::cornerRadius);
}
