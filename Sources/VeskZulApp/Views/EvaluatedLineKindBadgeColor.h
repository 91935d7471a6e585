#pragma once

#include "Models/EvaluatedLineKind.h"

#include <QColor>

// The fixed colour of each kind of computed line, used for result capsules
// and badges; currency and checklist lines share one colour.
QColor badgeColor(EvaluatedLineKind kind);
