#include "VeskKit/Design/VeskButton.h"

#include "VeskKit/Design/VeskAccessibleControl.h"
#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskEasing.h"
#include "VeskKit/Design/VeskFocusRing.h"
#include "VeskKit/Design/VeskFont.h"
#include "VeskKit/Design/VeskSymbol.h"

#include <QFocusEvent>
#include <QFontMetricsF>
#include <QPainter>
#include <QVariantAnimation>

#include <cmath>

namespace {

// Space between a label's symbol and its text, relative to the font size.
constexpr qreal kSymbolGapRatio = 0.4;

} // namespace

VeskButton::VeskButton(const VeskPrimaryButtonStyle &style, const QString &text, const QString &symbol,
                       QWidget *parent)
    : QAbstractButton(parent), m_style(style)
{
    init(text, symbol);
}

VeskButton::VeskButton(const VeskGlassButtonStyle &style, const QString &text, const QString &symbol,
                       QWidget *parent)
    : QAbstractButton(parent), m_style(style)
{
    init(text, symbol);
}

VeskButton::~VeskButton() = default;

void VeskButton::init(const QString &text, const QString &symbol)
{
    setText(text);
    m_symbol = symbol;
    if (!symbol.isEmpty())
        VeskSymbol::prepare(symbol, labelFont().weight());
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setAttribute(Qt::WA_Hover, false);
    m_pressAnimation = new QVariantAnimation(this);
    m_pressAnimation->setDuration(VeskPrimaryButtonStyle::pressAnimationMs);
    m_pressAnimation->setEasingCurve(veskEaseOutCurve());
    connect(m_pressAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant &value) {
        m_pressAmount = value.toReal();
        update();
    });
}

void VeskButton::setButtonStyle(const VeskPrimaryButtonStyle &style)
{
    m_style = style;
    updateGeometry();
    update();
}

void VeskButton::setButtonStyle(const VeskGlassButtonStyle &style)
{
    m_pressAnimation->stop();
    m_pressAmount = isDown() ? 1 : 0;
    m_style = style;
    updateGeometry();
    update();
}

bool VeskButton::isActive() const
{
    const auto *glass = std::get_if<VeskGlassButtonStyle>(&m_style);
    return glass && glass->isActive;
}

void VeskButton::setActive(bool active)
{
    auto *glass = std::get_if<VeskGlassButtonStyle>(&m_style);
    if (!glass || glass->isActive == active)
        return;
    glass->isActive = active;
    VeskAccessibleControl::setOn(this, active);
    update();
}

void VeskButton::setSymbol(const QString &name)
{
    if (name == m_symbol)
        return;
    m_symbol = name;
    if (!name.isEmpty())
        VeskSymbol::prepare(name, labelFont().weight());
    updateGeometry();
    update();
}

QFont VeskButton::labelFont() const
{
    if (m_labelFont)
        return *m_labelFont;
    return isPrimary() ? VeskPrimaryButtonStyle::font() : VeskGlassButtonStyle::font();
}

void VeskButton::setLabelFont(const std::optional<QFont> &font)
{
    m_labelFont = font;
    if (!m_symbol.isEmpty())
        VeskSymbol::prepare(m_symbol, labelFont().weight());
    updateGeometry();
    update();
}

QColor VeskButton::labelColor() const
{
    if (m_labelColor)
        return *m_labelColor;
    if (m_prominentTint && !isPrimary())
        return Qt::white;
    return isPrimary() ? VeskPrimaryButtonStyle::foreground() : VeskGlassButtonStyle::foreground();
}

void VeskButton::setLabelColor(const std::optional<QColor> &colour)
{
    m_labelColor = colour;
    update();
}

QColor VeskButton::symbolColor() const
{
    return m_symbolColor.value_or(labelColor());
}

void VeskButton::setSymbolColor(const std::optional<QColor> &colour)
{
    m_symbolColor = colour;
    update();
}

void VeskButton::setProminentTint(const std::optional<QColor> &tint)
{
    m_prominentTint = tint;
    update();
}

qreal VeskButton::horizontalPadding() const
{
    return isPrimary() ? VeskPrimaryButtonStyle::horizontalPadding : VeskGlassButtonStyle::horizontalPadding;
}

qreal VeskButton::verticalPadding() const
{
    return isPrimary() ? VeskPrimaryButtonStyle::verticalPadding : VeskGlassButtonStyle::verticalPadding;
}

qreal VeskButton::cornerRadius() const
{
    return isPrimary() ? VeskPrimaryButtonStyle::cornerRadius : VeskGlassButtonStyle::cornerRadius;
}

QPainterPath VeskButton::shape() const
{
    return veskContinuousRoundedRect(QRectF(rect()), cornerRadius());
}

QSizeF VeskButton::labelSize() const
{
    const QFont font = labelFont();
    const QFontMetricsF metrics(font);
    const qreal px = veskFontPixelSize(font);
    const bool hasText = !text().isEmpty();
    const bool hasSymbol = !m_symbol.isEmpty();
    const qreal symbolSide = hasSymbol ? VeskSymbol::boxSide(px) : 0;
    qreal width = symbolSide;
    if (hasText)
        width += metrics.horizontalAdvance(text());
    if (hasText && hasSymbol)
        width += px * kSymbolGapRatio;
    const qreal height = std::max(hasText || !hasSymbol ? metrics.height() : 0.0, symbolSide);
    return {width, height};
}

QSize VeskButton::sizeHint() const
{
    const QSizeF label = labelSize();
    return {int(std::ceil(label.width() + 2 * horizontalPadding())),
            int(std::ceil(label.height() + 2 * verticalPadding()))};
}

QSize VeskButton::minimumSizeHint() const
{
    return sizeHint();
}

bool VeskButton::event(QEvent *event)
{
    const bool handled = QAbstractButton::event(event);
    followPressedState();
    return handled;
}

void VeskButton::followPressedState()
{
    const bool down = isDown();
    if (down == m_shownDown)
        return;
    m_shownDown = down;
    if (!isPrimary()) {
        m_pressAmount = down ? 1 : 0;
        update();
        return;
    }
    m_pressAnimation->stop();
    m_pressAnimation->setStartValue(m_pressAmount);
    m_pressAnimation->setEndValue(down ? 1.0 : 0.0);
    m_pressAnimation->start();
}

void VeskButton::focusInEvent(QFocusEvent *event)
{
    // A window coming back to the front gives back the focus it had, ring
    // and all; a button alone in a window takes focus without anyone
    // tabbing to it.
    if (event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason)
        m_keyboardFocus = event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason;
    QAbstractButton::focusInEvent(event);
}

bool VeskButton::hitButton(const QPoint &pos) const
{
    return shape().contains(QPointF(pos) + QPointF(0.5, 0.5));
}

void VeskButton::paintLabel(QPainter &painter, const QRectF &area, const QColor &textColour) const
{
    const QFont font = labelFont();
    const QFontMetricsF metrics(font);
    const qreal px = veskFontPixelSize(font);
    const QSizeF natural = labelSize();
    const bool hasSymbol = !m_symbol.isEmpty();
    const qreal symbolSide = hasSymbol ? VeskSymbol::boxSide(px) : 0;
    const qreal gap = hasSymbol && !text().isEmpty() ? px * kSymbolGapRatio : 0;

    const qreal width = std::min(natural.width(), area.width());
    qreal x = area.center().x() - width / 2;
    if (hasSymbol) {
        const QRectF box(x, area.center().y() - symbolSide / 2, symbolSide, symbolSide);
        VeskSymbol::paint(painter, box, m_symbol, m_symbolColor.value_or(textColour), font.weight());
        x += symbolSide + gap;
    }
    if (!text().isEmpty()) {
        const qreal room = std::max(0.0, area.right() - x);
        const QString shown = metrics.elidedText(text(), Qt::ElideRight, room);
        painter.setFont(font);
        painter.setPen(textColour);
        painter.drawText(QRectF(x, area.top(), room, area.height()), Qt::AlignLeft | Qt::AlignVCenter, shown);
    }
}

void VeskButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    const QRectF bounds(rect());
    const QRectF labelArea = bounds.adjusted(horizontalPadding(), verticalPadding(), -horizontalPadding(),
                                             -verticalPadding());
    painter.save();
    if (const auto *glass = std::get_if<VeskGlassButtonStyle>(&m_style)) {
        if (isDown())
            painter.setOpacity(VeskGlassButtonStyle::pressedOpacity);
        if (m_prominentTint)
            painter.fillPath(shape(), *m_prominentTint);
        else
            veskPaintGlassShape(painter, bounds, VeskGlassButtonStyle::cornerRadius, glass->fill(), glass->border());
    } else {
        const qreal scale = VeskPrimaryButtonStyle::scale(m_pressAmount);
        painter.translate(bounds.center());
        painter.scale(scale, scale);
        painter.translate(-bounds.center());
        painter.fillPath(veskContinuousRoundedRect(bounds, VeskPrimaryButtonStyle::cornerRadius),
                         VeskPrimaryButtonStyle::fill(m_pressAmount));
    }
    paintLabel(painter, labelArea, labelColor());
    painter.restore();

    // Whoever tabs here sees that Space now acts on this button.
    if (hasFocus() && m_keyboardFocus)
        VeskFocusRing::paint(painter, bounds, cornerRadius());
}
