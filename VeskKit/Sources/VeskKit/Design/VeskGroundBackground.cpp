#include "VeskKit/Design/VeskGroundBackground.h"

#include <QLinearGradient>
#include <QPaintEvent>
#include <QPainter>
#include <QRadialGradient>

namespace {

constexpr qreal kHighlightOpacity = 0.09;
constexpr qreal kHighlightStartRadius = 20;
constexpr qreal kHighlightEndRadius = 520;

} // namespace

VeskGroundBackground::VeskGroundBackground(VeskProductPalette palette, QWidget *parent)
    : QWidget(parent), m_palette(palette)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void VeskGroundBackground::setProductPalette(VeskProductPalette palette)
{
    if (palette == m_palette)
        return;
    m_palette = palette;
    update();
}

void VeskGroundBackground::paintGround(QPainter &painter, const QRectF &rect, VeskProductPalette palette)
{
    const VeskGroundStops stops = groundStops(palette);
    QLinearGradient ground(rect.topLeft(), rect.bottomRight());
    ground.setColorAt(0.0, stops.topLeft);
    ground.setColorAt(0.5, stops.middle);
    ground.setColorAt(1.0, stops.bottomRight);
    painter.fillRect(rect, ground);

    // Full strength inside the start radius, fading to clear at the end one.
    QColor highlight(255, 255, 255);
    highlight.setAlphaF(kHighlightOpacity);
    QColor clear(255, 255, 255, 0);
    QRadialGradient glow(rect.topLeft(), kHighlightEndRadius);
    glow.setColorAt(0.0, highlight);
    glow.setColorAt(kHighlightStartRadius / kHighlightEndRadius, highlight);
    glow.setColorAt(1.0, clear);
    painter.fillRect(rect, glow);
}

void VeskGroundBackground::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    m_backdrop.paint(painter, event->region(), size(), devicePixelRatioF(), quint64(m_palette),
                     [this](QPainter &drawing, const QRectF &bounds) { paintGround(drawing, bounds, m_palette); });
}
