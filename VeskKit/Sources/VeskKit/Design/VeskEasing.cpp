#include "VeskKit/Design/VeskEasing.h"

#include <QPointF>

namespace {

QEasingCurve bezier(QPointF c1, QPointF c2)
{
    QEasingCurve curve(QEasingCurve::BezierSpline);
    curve.addCubicBezierSegment(c1, c2, QPointF(1, 1));
    return curve;
}

} // namespace

QEasingCurve veskEaseOutCurve()
{
    return bezier({0.0, 0.0}, {0.58, 1.0});
}

QEasingCurve veskEaseInOutCurve()
{
    return bezier({0.42, 0.0}, {0.58, 1.0});
}
