#include "VeskKit/Design/VeskFloatingPanelController.h"

#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace {

constexpr qreal kRaiseAboveCentre = 40;
constexpr qreal kBottomClearance = 24;

} // namespace

VeskFloatingPanelController::VeskFloatingPanelController(QSizeF size, bool dismissOnResignKey,
                                                         std::function<void()> onDismiss, QObject *parent)
    : QObject(parent), m_size(size), m_dismissOnResignKey(dismissOnResignKey), m_onDismiss(std::move(onDismiss))
{
}

VeskFloatingPanelController::~VeskFloatingPanelController()
{
    if (!m_panel)
        return;
    // The panel sends hide and deactivate events while it is torn down; this
    // controller must not be asked about them any more.
    m_panel->removeEventFilter(this);
    delete m_panel.data();
}

bool VeskFloatingPanelController::isVisible() const
{
    return m_panel && m_panel->isVisible();
}

VeskFloatingNSPanel *VeskFloatingPanelController::ensurePanel()
{
    if (m_panel)
        return m_panel;
    m_panel = new VeskFloatingNSPanel;
    auto *layout = new QVBoxLayout(m_panel);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QPointer<VeskFloatingPanelController> self(this);
    m_panel->onEscapePressed = [self] {
        if (self)
            self->orderOutAndDismiss();
    };
    m_panel->installEventFilter(this);
    return m_panel;
}

QScreen *VeskFloatingPanelController::activeScreen()
{
    if (QScreen *under = QGuiApplication::screenAt(QCursor::pos()))
        return under;
    if (QScreen *primary = QGuiApplication::primaryScreen())
        return primary;
    const QList<QScreen *> screens = QGuiApplication::screens();
    return screens.isEmpty() ? nullptr : screens.first();
}

QPointF VeskFloatingPanelController::centredOrigin(const QRectF &visibleFrame, QSizeF size)
{
    const qreal x = visibleFrame.center().x() - size.width() / 2;
    // Measured from the bottom: the panel's lower edge stands 40 above where
    // plain centring would put it, but at least 24 above the visible bottom.
    const qreal lift = std::max(visibleFrame.height() / 2 - size.height() / 2 + kRaiseAboveCentre, kBottomClearance);
    const qreal y = visibleFrame.bottom() - lift - size.height();
    return {x, y};
}

void VeskFloatingPanelController::show(bool centeredOnActiveScreen, std::optional<QRectF> anchorFrame,
                                       const ContentBuilder &content)
{
    VeskFloatingNSPanel *panel = ensurePanel();
    // Each show replaces the content with a freshly built one.
    QLayout *layout = panel->layout();
    while (QLayoutItem *item = layout->takeAt(0)) {
        if (QWidget *old = item->widget())
            old->deleteLater();
        delete item;
    }
    if (content) {
        if (QWidget *built = content())
            layout->addWidget(built);
    }
    panel->resize(QSizeF(m_size).toSize());

    if (anchorFrame) {
        panel->move(anchorFrame->topLeft().toPoint());
    } else if (centeredOnActiveScreen) {
        if (QScreen *screen = activeScreen()) {
            const QPointF origin = centredOrigin(QRectF(screen->availableGeometry()), m_size);
            panel->move(QPoint(int(std::lround(origin.x())), int(std::lround(origin.y()))));
        }
    }

    panel->show();
    panel->raise();
    panel->activateWindow();
}

void VeskFloatingPanelController::orderOutAndDismiss()
{
    if (m_panel)
        m_panel->hide();
    if (m_onDismiss)
        m_onDismiss();
}

void VeskFloatingPanelController::hide()
{
    orderOutAndDismiss();
}

void VeskFloatingPanelController::toggle(bool centeredOnActiveScreen, std::optional<QRectF> anchorFrame,
                                         const ContentBuilder &content)
{
    if (m_panel && m_panel->isVisible()) {
        orderOutAndDismiss();
        return;
    }
    show(centeredOnActiveScreen, anchorFrame, content);
}

void VeskFloatingPanelController::windowDidResignKey()
{
    if (!m_dismissOnResignKey)
        return;
    orderOutAndDismiss();
}

bool VeskFloatingPanelController::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_panel && event->type() == QEvent::WindowDeactivate && m_panel->isVisible())
        windowDidResignKey();
    return QObject::eventFilter(watched, event);
}
