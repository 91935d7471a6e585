#pragma once

#include "Models/ZulNoteTint.h"

#include <QLinearGradient>

// The tinted wash laid over a frosted surface: the tint's surface-top colour
// at topOpacity running diagonally to its surface-bottom colour at
// bottomOpacity, from the top-left to the bottom-right of whatever it fills
// (the gradient is in object coordinates).
QLinearGradient frostedGlassGradient(ZulNoteTint tint, double topOpacity, double bottomOpacity);
