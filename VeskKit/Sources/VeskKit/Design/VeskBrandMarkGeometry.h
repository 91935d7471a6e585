#pragma once

#include <QList>
#include <QPainterPath>
#include <QPointF>
#include <QSizeF>

// The suite mark: three closed eight-cornered pieces in a 64 × 64 view box
// (origin top-left, y downwards), painted in the order of allPieces().
namespace VeskBrandMarkGeometry {

inline constexpr qreal viewBoxSize = 64;

const QList<QPointF> &topRightPiece();
const QList<QPointF> &leftPiece();
const QList<QPointF> &bottomRightPiece();
const QList<QList<QPointF>> &allPieces();

// A view-box point on a canvas of `size`; x and y scale independently.
QPointF map(const QPointF &point, const QSizeF &size);
// The closed outline of a piece on a canvas of `size`; empty for no points.
QPainterPath piecePath(const QList<QPointF> &piece, const QSizeF &size);

} // namespace VeskBrandMarkGeometry
