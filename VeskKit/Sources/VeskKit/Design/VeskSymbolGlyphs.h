#pragma once

#include <QPainterPath>
#include <QPointF>

#include <initializer_list>
#include <vector>

// The drawing side of the symbol table: a small builder that composes a glyph
// as one filled area on the 24 x 24 design grid, and the list of glyphs.
namespace VeskSymbolGlyphs {

class Builder {
public:
    explicit Builder(qreal strokeWidth);

    qreal w() const { return m_strokeWidth; }

    // Shapes, in grid units.
    static QPainterPath line(qreal x1, qreal y1, qreal x2, qreal y2);
    static QPainterPath poly(std::initializer_list<QPointF> points, bool closed = false);
    static QPainterPath poly(const std::vector<QPointF> &points, bool closed = false);
    static QPainterPath circle(qreal cx, qreal cy, qreal r);
    static QPainterPath ellipse(qreal cx, qreal cy, qreal rx, qreal ry);
    static QPainterPath rrect(qreal x, qreal y, qreal width, qreal height, qreal radius);
    // Angles in degrees, counter-clockwise from three o'clock; a negative
    // span runs clockwise.
    static QPainterPath arc(qreal cx, qreal cy, qreal r, qreal startDeg, qreal spanDeg);
    // An open chevron whose tip is at `tip`, pointing along `angleDeg`.
    static QPainterPath arrowHead(QPointF tip, qreal angleDeg, qreal size);
    static QPointF onCircle(qreal cx, qreal cy, qreal r, qreal angleDeg);

    // The area a stroke of the glyph's weight (times factor) covers.
    QPainterPath outline(const QPainterPath &shape, qreal factor = 1.0) const;

    Builder &stroke(const QPainterPath &shape, qreal factor = 1.0);
    Builder &fill(const QPainterPath &shape);
    Builder &cut(const QPainterPath &shape);
    Builder &cutStroke(const QPainterPath &shape, qreal factor = 1.0);

    // The glyph on the 24 x 24 grid.
    QPainterPath result() const;

private:
    qreal m_strokeWidth;
    QPainterPath m_area; // kept at kWork times the grid so flattening stays fine
};

using Draw = void (*)(Builder &);

struct Glyph {
    const char *name;
    Draw draw;
};

const std::vector<Glyph> &glyphs();
void drawFallback(Builder &g);

} // namespace VeskSymbolGlyphs
