#include "VeskKit/Design/VeskContinuousShape.h"

#include <QPainter>

#include <algorithm>

namespace {

// Where a circular quarter arc's control points sit, measured from the corner
// as a fraction of the radius (the usual cubic approximation of a circle).
constexpr qreal kCircleControl = 0.4477;
// How far past the radius the continuous curve starts, and where its control
// points sit then.
constexpr qreal kContinuousReach = 1.2;
constexpr qreal kContinuousControl = 0.25;

} // namespace

QPainterPath veskContinuousRoundedRect(const QRectF &rect, qreal radius)
{
    QPainterPath path;
    if (rect.isEmpty())
        return path;
    const qreal halfShort = std::min(rect.width(), rect.height()) / 2.0;
    const qreal r = std::clamp(radius, qreal(0), halfShort);
    if (r <= 0) {
        path.addRect(rect);
        return path;
    }
    const qreal reach = std::min(kContinuousReach * r, halfShort);
    // Blend from the circle (no room to extend) to the full continuous curve.
    const qreal t = std::clamp((reach - r) / ((kContinuousReach - 1.0) * r), qreal(0), qreal(1));
    const qreal control = reach * (kCircleControl - (kCircleControl - kContinuousControl) * t);

    const qreal l = rect.left(), tp = rect.top(), rt = rect.right(), b = rect.bottom();
    path.moveTo(l + reach, tp);
    path.lineTo(rt - reach, tp);
    path.cubicTo(rt - control, tp, rt, tp + control, rt, tp + reach);
    path.lineTo(rt, b - reach);
    path.cubicTo(rt, b - control, rt - control, b, rt - reach, b);
    path.lineTo(l + reach, b);
    path.cubicTo(l + control, b, l, b - control, l, b - reach);
    path.lineTo(l, tp + reach);
    path.cubicTo(l, tp + control, l + control, tp, l + reach, tp);
    path.closeSubpath();
    return path;
}

QPainterPath veskContinuousCapsule(const QRectF &rect)
{
    return veskContinuousRoundedRect(rect, std::min(rect.width(), rect.height()) / 2.0);
}

void veskPaintGlassShape(QPainter &painter, const QRectF &rect, qreal radius, const QColor &fill,
                         const QColor &border, qreal borderWidth)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    if (fill.alpha() > 0)
        painter.fillPath(veskContinuousRoundedRect(rect, radius), fill);
    if (border.alpha() > 0 && borderWidth > 0) {
        const qreal inset = borderWidth / 2.0;
        const QRectF inner = rect.adjusted(inset, inset, -inset, -inset);
        QPen pen(border, borderWidth);
        pen.setJoinStyle(Qt::RoundJoin);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawPath(veskContinuousRoundedRect(inner, std::max(qreal(0), radius - inset)));
    }
    painter.restore();
}
