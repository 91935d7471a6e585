#pragma once

#include "Models/EvaluatedLine.h"

#include "VeskKit/Localization/VeskLanguage.h"

#include <QString>

// A computed line as a screen reader says it: its 1-based number and result,
// then its kind unless it is plain arithmetic, then its label or variable
// name, e.g. "Line 2: 95,000, variable, maaş"; a task says "Done" or "Todo".
QString spokenText(const EvaluatedLine &line, VeskLanguage language);
