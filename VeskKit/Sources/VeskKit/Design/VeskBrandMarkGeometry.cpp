#include "VeskKit/Design/VeskBrandMarkGeometry.h"

namespace VeskBrandMarkGeometry {

// Three facets leaning on one another: a wide blade at the top right, a tall
// one on the left and a short one at the bottom right, with narrow gaps
// between them so the shading reads as one surface broken in three.
const QList<QPointF> &topRightPiece()
{
    static const QList<QPointF> piece = {
        {24, 6}, {46, 6}, {56, 12}, {58, 22}, {52, 30}, {38, 30}, {30, 24}, {26, 14},
    };
    return piece;
}

const QList<QPointF> &leftPiece()
{
    static const QList<QPointF> piece = {
        {14, 12}, {22, 10}, {26, 22}, {34, 34}, {30, 48}, {22, 56}, {10, 48}, {6, 28},
    };
    return piece;
}

const QList<QPointF> &bottomRightPiece()
{
    static const QList<QPointF> piece = {
        {38, 34}, {54, 34}, {58, 42}, {54, 52}, {44, 58}, {30, 58}, {34, 50}, {38, 42},
    };
    return piece;
}

const QList<QList<QPointF>> &allPieces()
{
    static const QList<QList<QPointF>> pieces = {topRightPiece(), leftPiece(), bottomRightPiece()};
    return pieces;
}

QPointF map(const QPointF &point, const QSizeF &size)
{
    return {point.x() * size.width() / viewBoxSize, point.y() * size.height() / viewBoxSize};
}

QPainterPath piecePath(const QList<QPointF> &piece, const QSizeF &size)
{
    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    if (piece.isEmpty())
        return path;
    path.moveTo(map(piece.first(), size));
    for (qsizetype i = 1; i < piece.size(); ++i)
        path.lineTo(map(piece[i], size));
    path.closeSubpath();
    return path;
}

} // namespace VeskBrandMarkGeometry
