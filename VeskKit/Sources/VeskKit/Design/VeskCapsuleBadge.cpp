#include "VeskKit/Design/VeskCapsuleBadge.h"

#include "VeskKit/Design/VeskContinuousShape.h"
#include "VeskKit/Design/VeskSymbol.h"

#include <QFontMetricsF>
#include <QPainter>

#include <algorithm>
#include <cmath>

VeskCapsuleBadge::VeskCapsuleBadge(const QString &text, const VeskCapsuleBadgeLook &look, bool interactive,
                                   QWidget *parent)
    : QAbstractButton(parent), m_look(look), m_interactive(interactive)
{
    setText(text);
    setAccessibleName(text);
    setFocusPolicy(interactive ? Qt::TabFocus : Qt::NoFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents, !interactive);
    if (interactive)
        setCursor(Qt::PointingHandCursor);
    setSizePolicy(look.stretches ? QSizePolicy::Expanding : QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void VeskCapsuleBadge::setLook(const VeskCapsuleBadgeLook &look)
{
    if (look == m_look)
        return;
    m_look = look;
    setSizePolicy(look.stretches ? QSizePolicy::Expanding : QSizePolicy::Fixed, QSizePolicy::Fixed);
    updateGeometry();
    update();
}

qreal VeskCapsuleBadge::symbolSide() const
{
    return m_look.symbol.isEmpty() ? 0 : VeskSymbol::boxSide(m_look.symbolPixelSize);
}

qreal VeskCapsuleBadge::contentWidth() const
{
    const qreal textWidth = text().isEmpty() ? 0 : QFontMetricsF(m_look.textFont).horizontalAdvance(text());
    const qreal gap = !m_look.symbol.isEmpty() && !text().isEmpty() ? m_look.spacing : 0;
    return symbolSide() + gap + textWidth;
}

QSize VeskCapsuleBadge::sizeHint() const
{
    const qreal height = std::max(text().isEmpty() ? 0.0 : QFontMetricsF(m_look.textFont).height(), symbolSide());
    return {int(std::ceil(contentWidth() + 2 * m_look.horizontalPadding)),
            int(std::ceil(height + 2 * m_look.verticalPadding))};
}

QSize VeskCapsuleBadge::minimumSizeHint() const
{
    return sizeHint();
}

void VeskCapsuleBadge::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    if (m_interactive && isDown())
        painter.setOpacity(0.7);
    const QRectF bounds(rect());
    const qreal radius = m_look.cornerRadius.value_or(bounds.height() / 2);
    veskPaintGlassShape(painter, bounds, radius, m_look.fill, m_look.border);

    const QRectF area = bounds.adjusted(m_look.horizontalPadding, 0, -m_look.horizontalPadding, 0);
    const qreal side = symbolSide();
    qreal x = area.left() + std::max(0.0, (area.width() - contentWidth()) / 2);
    if (side > 0) {
        VeskSymbol::paint(painter, QRectF(x, area.center().y() - side / 2, side, side), m_look.symbol,
                          m_look.foreground, m_look.symbolWeight);
        x += side + m_look.spacing;
    }
    if (!text().isEmpty()) {
        const qreal room = std::max(0.0, area.right() - x);
        painter.setFont(m_look.textFont);
        painter.setPen(m_look.foreground);
        painter.drawText(QRectF(x, area.top(), room, area.height()), Qt::AlignLeft | Qt::AlignVCenter,
                         QFontMetricsF(m_look.textFont).elidedText(text(), Qt::ElideRight, room));
    }
}
