#pragma once

#include <QPixmap>
#include <QRegion>
#include <QSize>

#include <functional>

class QPainter;
class QRectF;

// A translucent backdrop drawn once for its size and look, then copied. A
// repaint of a few rows (a chip, a result, the caret's line) copies those
// rows of it instead of filling the surface's gradients and clips again,
// and a copy of an unscaled pixmap is done where it is asked for, never
// handed to the painting threads large fills go to.
class VeskBackdropCache
{
public:
    // Draws the whole backdrop of a surface `bounds` big, from (0, 0).
    using Painter = std::function<void(QPainter &painter, const QRectF &bounds)>;

    // Paints `region` of the backdrop of a surface `size` big at `ratio`
    // device pixels a point. `look` names everything else the drawing
    // depends on (tints, opacities); another size, ratio or look draws it
    // anew with `paintBackdrop`.
    void paint(QPainter &painter, const QRegion &region, const QSize &size, qreal ratio, quint64 look,
               const Painter &paintBackdrop);

    // How often the backdrop was drawn anew.
    int drawCount() const { return m_drawCount; }

private:
    QPixmap m_pixmap;
    QSize m_size;
    qreal m_ratio = 0;
    quint64 m_look = 0;
    int m_drawCount = 0;
};
