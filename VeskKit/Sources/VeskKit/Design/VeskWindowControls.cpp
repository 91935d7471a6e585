#include "VeskKit/Design/VeskWindowControls.h"

#include "VeskKit/Design/VeskColorHex.h"
#include "VeskKit/Design/VeskGlassTokens.h"
#include "VeskKit/Localization/VeskLanguage.h"
#include "VeskKit/Localization/VeskLanguageNotifier.h"
#include "VeskKit/Localization/VeskText.h"

#include <QEvent>
#include <QPainter>
#include <QPainterPath>

namespace {

const char *const kObjectName = "veskWindowControls";

// One disc; paints itself from its owner's state so the whole row lights up
// its glyphs together, as a row of title-bar buttons does.
class ControlDisc : public QAbstractButton {
public:
    ControlDisc(VeskWindowButton kind, VeskWindowControls *owner) : QAbstractButton(owner), m_kind(kind)
    {
        setFixedSize(VeskWindowControls::buttonSide, VeskWindowControls::buttonSide);
        setFocusPolicy(Qt::NoFocus);
        setCursor(Qt::ArrowCursor);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        auto *owner = static_cast<VeskWindowControls *>(parentWidget());
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing, true);
        const qreal d = VeskWindowControls::discDiameter;
        const QRectF disc((width() - d) / 2.0, (height() - d) / 2.0, d, d);
        const bool active = window()->isActiveWindow() || owner->isHovering();
        QColor fill = active ? VeskWindowControls::discColor(m_kind) : VeskGlassTokens::surface3();
        if (isDown())
            fill = fill.darker(120);
        painter.setPen(QPen(veskColorFromHex(0x000000, 0.22), 0.5));
        painter.setBrush(fill);
        painter.drawEllipse(disc.adjusted(0.25, 0.25, -0.25, -0.25));
        if (!owner->isHovering())
            return;
        painter.setPen(QPen(veskColorFromHex(0x000000, 0.55), 1.2, Qt::SolidLine, Qt::RoundCap));
        const QPointF c = disc.center();
        const qreal r = d * 0.22;
        switch (m_kind) {
        case VeskWindowButton::close:
            painter.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
            painter.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
            break;
        case VeskWindowButton::miniaturize:
            painter.drawLine(c + QPointF(-r * 1.2, 0), c + QPointF(r * 1.2, 0));
            break;
        case VeskWindowButton::zoom:
            painter.drawLine(c + QPointF(-r * 1.2, 0), c + QPointF(r * 1.2, 0));
            painter.drawLine(c + QPointF(0, -r * 1.2), c + QPointF(0, r * 1.2));
            break;
        }
    }

private:
    VeskWindowButton m_kind;
};

} // namespace

VeskWindowControls::VeskWindowControls(QWidget *window) : QWidget(window)
{
    setObjectName(QLatin1String(kObjectName));
    setAttribute(Qt::WA_Hover, true);
    int x = 0;
    for (const VeskWindowButton kind : {VeskWindowButton::close, VeskWindowButton::miniaturize, VeskWindowButton::zoom}) {
        auto *disc = new ControlDisc(kind, this);
        disc->move(x, 0);
        connect(disc, &QAbstractButton::clicked, this, [this, kind] { trigger(kind); });
        m_buttons[std::size_t(kind)] = disc;
        x += buttonSide + buttonSpacing;
    }
    nameButtons(VeskLanguage::current());
    connect(VeskLanguageNotifier::shared(), &VeskLanguageNotifier::veskLanguageDidChange, this,
            &VeskWindowControls::nameButtons);
    setFixedSize(3 * buttonSide + 2 * buttonSpacing, buttonSide);
    window->installEventFilter(this);
    raise();
}

void VeskWindowControls::nameButtons(VeskLanguage language)
{
    m_buttons[std::size_t(VeskWindowButton::close)]->setAccessibleName(
        veskText(QStringLiteral("Close"), QStringLiteral("Kapat"), language));
    m_buttons[std::size_t(VeskWindowButton::miniaturize)]->setAccessibleName(
        veskText(QStringLiteral("Minimize"), QStringLiteral("Küçült"), language));
    m_buttons[std::size_t(VeskWindowButton::zoom)]->setAccessibleName(
        veskText(QStringLiteral("Zoom"), QStringLiteral("Büyüt"), language));
}

QAbstractButton *VeskWindowControls::button(VeskWindowButton kind) const
{
    return m_buttons[std::size_t(kind)].data();
}

void VeskWindowControls::placeInRow(int rowHeight, int leadingInset)
{
    move(leadingInset, (rowHeight - height()) / 2);
    raise();
}

QColor VeskWindowControls::discColor(VeskWindowButton kind)
{
    switch (kind) {
    case VeskWindowButton::close:
        return veskColorFromHex(0xFF5F57);
    case VeskWindowButton::miniaturize:
        return veskColorFromHex(0xFEBC2E);
    case VeskWindowButton::zoom:
        return veskColorFromHex(0x28C840);
    }
    return {};
}

VeskWindowControls *VeskWindowControls::of(const QWidget *window)
{
    if (!window)
        return nullptr;
    return window->findChild<VeskWindowControls *>(QLatin1String(kObjectName), Qt::FindDirectChildrenOnly);
}

bool VeskWindowControls::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == parentWidget()) {
        switch (event->type()) {
        case QEvent::ChildAdded:
            // Content added later must not cover the controls.
            raise();
            break;
        case QEvent::WindowStateChange:
            // Full screen has no title bar to put them in.
            setVisible(!parentWidget()->isFullScreen());
            break;
        case QEvent::ActivationChange:
            update();
            for (const auto &button : m_buttons)
                if (button)
                    button->update();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool VeskWindowControls::event(QEvent *event)
{
    if (event->type() == QEvent::HoverEnter)
        setHovering(true);
    else if (event->type() == QEvent::HoverLeave)
        setHovering(false);
    return QWidget::event(event);
}

void VeskWindowControls::setHovering(bool hovering)
{
    if (hovering == m_hovering)
        return;
    m_hovering = hovering;
    for (const auto &button : m_buttons)
        if (button)
            button->update();
}

void VeskWindowControls::trigger(VeskWindowButton kind)
{
    QWidget *target = window();
    switch (kind) {
    case VeskWindowButton::close:
        target->close();
        break;
    case VeskWindowButton::miniaturize:
        target->showMinimized();
        break;
    case VeskWindowButton::zoom:
        if (target->isMaximized())
            target->showNormal();
        else
            target->showMaximized();
        break;
    }
}
