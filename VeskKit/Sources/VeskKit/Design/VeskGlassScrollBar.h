#pragma once

#include <QString>

class QAbstractScrollArea;

// The one scroll-bar look of the glass design: 8 wide, a translucent white
// handle with rounded ends, no arrows and no track, so a bar stays quiet on
// the dark ground instead of showing the platform's light default.
namespace VeskGlassScrollBar {

// Style-sheet rules for both orientations; a widget that keeps a sheet of
// its own appends them, and they reach every scroll bar below it.
QString styleSheet();

// Gives both bars of a scroll area the look.
void apply(QAbstractScrollArea *area);

} // namespace VeskGlassScrollBar
