#pragma once

#include <QColor>
#include <QPainterPath>
#include <QRectF>

class QPainter;

// Rounded rectangles with "continuous" corners: the curve starts a little
// before a circular corner would and bends more gently into the straight
// edge, so corners read smooth rather than stamped. A radius at or above half
// the shorter side gives a capsule.
QPainterPath veskContinuousRoundedRect(const QRectF &rect, qreal radius);
QPainterPath veskContinuousCapsule(const QRectF &rect);

// Fills the shape and strokes a border that lies wholly inside its edge, so a
// border never enlarges the shape. A transparent colour skips that layer.
void veskPaintGlassShape(QPainter &painter, const QRectF &rect, qreal radius, const QColor &fill,
                         const QColor &border, qreal borderWidth = 1.0);
