#pragma once

#include <QPainterPath>
#include <QPointF>

#include <initializer_list>

// Path builders for emblem artwork, in grid units. Angles are in degrees
// measured from +x towards +y, so on the y-down grid they turn clockwise on
// screen.
namespace VeskEmblemPaths {

QPainterPath roundedRect(qreal x, qreal y, qreal width, qreal height, qreal radius);
// A pill: corner radius half the smaller side (a plain rectangle when that is 0).
QPainterPath bar(qreal x, qreal y, qreal width, qreal height);
QPainterPath ellipse(qreal x, qreal y, qreal width, qreal height);
QPainterPath circle(qreal centreX, qreal centreY, qreal radius);
QPainterPath polygon(std::initializer_list<QPointF> points);
QPainterPath polyline(std::initializer_list<QPointF> points);
QPainterPath line(qreal x1, qreal y1, qreal x2, qreal y2);
// An arc from angle `from` to angle `to`, passing the angles between them.
QPainterPath arc(qreal centreX, qreal centreY, qreal radius, qreal from, qreal to);
// Continues `path` with a straight line to the arc's start, then the arc.
void appendArc(QPainterPath &path, qreal centreX, qreal centreY, qreal radius, qreal from, qreal to);

} // namespace VeskEmblemPaths
