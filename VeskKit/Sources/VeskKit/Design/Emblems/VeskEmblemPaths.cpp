#include "VeskKit/Design/Emblems/VeskEmblemPaths.h"

#include <algorithm>

namespace {

QRectF square(qreal centreX, qreal centreY, qreal radius)
{
    return QRectF(centreX - radius, centreY - radius, 2 * radius, 2 * radius);
}

} // namespace

namespace VeskEmblemPaths {

QPainterPath roundedRect(qreal x, qreal y, qreal width, qreal height, qreal radius)
{
    QPainterPath path;
    path.addRoundedRect(QRectF(x, y, width, height), radius, radius);
    return path;
}

QPainterPath bar(qreal x, qreal y, qreal width, qreal height)
{
    const qreal radius = std::min(width, height) / 2;
    if (radius <= 0) {
        QPainterPath path;
        path.addRect(QRectF(x, y, width, height));
        return path;
    }
    return roundedRect(x, y, width, height, radius);
}

QPainterPath ellipse(qreal x, qreal y, qreal width, qreal height)
{
    QPainterPath path;
    path.addEllipse(QRectF(x, y, width, height));
    return path;
}

QPainterPath circle(qreal centreX, qreal centreY, qreal radius)
{
    QPainterPath path;
    path.addEllipse(square(centreX, centreY, radius));
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path = polyline(points);
    path.closeSubpath();
    return path;
}

QPainterPath polyline(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    bool first = true;
    for (const QPointF &point : points) {
        if (first)
            path.moveTo(point);
        else
            path.lineTo(point);
        first = false;
    }
    return path;
}

QPainterPath line(qreal x1, qreal y1, qreal x2, qreal y2)
{
    QPainterPath path;
    path.moveTo(x1, y1);
    path.lineTo(x2, y2);
    return path;
}

QPainterPath arc(qreal centreX, qreal centreY, qreal radius, qreal from, qreal to)
{
    QPainterPath path;
    path.arcMoveTo(square(centreX, centreY, radius), -from);
    path.arcTo(square(centreX, centreY, radius), -from, -(to - from));
    return path;
}

void appendArc(QPainterPath &path, qreal centreX, qreal centreY, qreal radius, qreal from, qreal to)
{
    // Qt counts angles anticlockwise on screen; the grid's run clockwise.
    path.arcTo(square(centreX, centreY, radius), -from, -(to - from));
}

} // namespace VeskEmblemPaths
