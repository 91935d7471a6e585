#pragma once

#include <QEasingCurve>

// The timing curves the glass components animate with, as cubic Béziers
// through (0, 0) and (1, 1): ease-out (0, 0, 0.58, 1) and ease-in-ease-out
// (0.42, 0, 0.58, 1).
QEasingCurve veskEaseOutCurve();
QEasingCurve veskEaseInOutCurve();
