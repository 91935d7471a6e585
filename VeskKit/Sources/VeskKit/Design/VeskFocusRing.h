#pragma once

#include <QColor>
#include <QPointF>
#include <QRectF>

class QPainter;
class QWidget;

// The one sign that a control holds the keyboard, the same on every surface:
// an outline in the glass style's accent, drawn just inside the control's
// own shape, so it needs no room the layout did not give and the control
// does not move when it takes or loses the keyboard.
namespace VeskFocusRing {

inline constexpr qreal width = 2;

QColor colour();

// Inside `bounds`, along a continuous rounded rectangle of `radius`; a
// radius of half the height or more draws a capsule.
void paint(QPainter &painter, const QRectF &bounds, qreal radius);
// Around a round control of that radius (a colour dot), just outside it.
void paintCircle(QPainter &painter, const QPointF &centre, qreal radius);

// For what Qt's styles draw (fields, a slider) or what a container draws
// around its part: once `canvas` has painted itself, the ring is drawn over
// it while `holder` (the canvas itself when null) has the keyboard. A
// negative radius draws a capsule.
void attach(QWidget *canvas, qreal radius, QWidget *holder = nullptr);

} // namespace VeskFocusRing
