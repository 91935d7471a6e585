#pragma once

#include <QImage>
#include <QRectF>

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

// An independent picture of an emblem made of rounded rectangles, to say what
// alpha a rendered pixel must have: the coverage of each shape over the pixel
// is worked out exactly where the pixel meets only straight edges, and the
// model refuses a pixel cut by a rounded corner.
namespace EmblemModel {

struct Shape
{
    QRectF rect;      // grid units
    qreal radius;
    qreal alpha;      // paint alpha, or the strength of a cut
    bool cut;
};

// Grid units per pixel side at a bitmap of `pixelSize` pixels; grid (50, 50)
// at the bitmap centre and 60 units across 88% of the side.
inline qreal pixelsPerUnit(int pixelSize) { return pixelSize * 0.88 / 60.0; }

inline QPoint pixelAt(int pixelSize, qreal gridX, qreal gridY)
{
    const qreal k = pixelsPerUnit(pixelSize);
    return QPoint(int(std::floor(pixelSize / 2.0 + (gridX - 50) * k)),
                  int(std::floor(pixelSize / 2.0 + (gridY - 50) * k)));
}

inline QRectF pixelBox(int pixelSize, QPoint pixel)
{
    const qreal k = pixelsPerUnit(pixelSize);
    return QRectF(50 + (pixel.x() - pixelSize / 2.0) / k, 50 + (pixel.y() - pixelSize / 2.0) / k,
                  1 / k, 1 / k);
}

inline qreal area(const QRectF &r) { return r.isEmpty() ? 0 : r.width() * r.height(); }

// Share of `box` covered by the shape; nothing when a rounded corner runs
// through the box.
inline std::optional<qreal> coverage(const QRectF &box, const Shape &shape)
{
    const QRectF &r = shape.rect;
    qreal covered = area(box & r);
    const qreal rad = shape.radius;
    struct Corner { QRectF square; QPointF centre; };
    const Corner corners[] = {
        {QRectF(r.left(), r.top(), rad, rad), QPointF(r.left() + rad, r.top() + rad)},
        {QRectF(r.right() - rad, r.top(), rad, rad), QPointF(r.right() - rad, r.top() + rad)},
        {QRectF(r.left(), r.bottom() - rad, rad, rad), QPointF(r.left() + rad, r.bottom() - rad)},
        {QRectF(r.right() - rad, r.bottom() - rad, rad, rad), QPointF(r.right() - rad, r.bottom() - rad)},
    };
    for (const Corner &corner : corners) {
        const QRectF part = box & corner.square;
        if (part.isEmpty())
            continue;
        // The part lies in the quadrant away from the centre: its nearest and
        // farthest points are two of its corners.
        qreal nearest = 1e9, farthest = 0;
        for (const QPointF p : {part.topLeft(), part.topRight(), part.bottomLeft(), part.bottomRight()}) {
            const qreal d = std::hypot(p.x() - corner.centre.x(), p.y() - corner.centre.y());
            nearest = std::min(nearest, d);
            farthest = std::max(farthest, d);
        }
        if (nearest >= rad)
            covered -= area(part);
        else if (farthest > rad)
            return std::nullopt;
    }
    return covered / area(box);
}

// Alpha (0 to 1) of the pixel under the shapes painted in order over a
// transparent bitmap.
inline std::optional<qreal> alphaAt(const std::vector<Shape> &shapes, int pixelSize, QPoint pixel)
{
    const QRectF box = pixelBox(pixelSize, pixel);
    qreal alpha = 0;
    for (const Shape &shape : shapes) {
        const std::optional<qreal> cover = coverage(box, shape);
        if (!cover)
            return std::nullopt;
        const qreal strength = shape.alpha * *cover;
        alpha = shape.cut ? alpha * (1 - strength) : strength + alpha * (1 - strength);
    }
    return alpha;
}

} // namespace EmblemModel
