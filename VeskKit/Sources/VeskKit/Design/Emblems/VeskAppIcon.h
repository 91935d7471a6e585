#pragma once

#include "VeskKit/Design/Emblems/VeskAppIdentity.h"
#include "VeskKit/Design/VeskProductPalette.h"

#include <QIcon>
#include <QImage>

#include <array>

class QPainter;
class QRectF;

// A suite application's icon for launchers, task switchers and window frames:
// its emblem in the two-colour flat-light form, in the colours of its product
// palette. The white-glass form of the brand mark would vanish on a light
// panel; this one reads on light and dark ones alike, and it is drawn without
// cuts, so a vector copy of it holds the same picture.
namespace VeskAppIcon {

// The square sizes icon themes and window frames ask for.
inline constexpr std::array<int, 8> pixelSizes = {16, 24, 32, 48, 64, 128, 256, 512};

// Paints the icon onto the square `target` (transparent around the emblem).
void paint(QPainter &painter, const QRectF &target, VeskAppIdentity app, VeskProductPalette palette);

// The icon `pixelSize` pixels square, premultiplied ARGB.
QImage image(VeskAppIdentity app, VeskProductPalette palette, int pixelSize);

// The sizes of pixelSizes up to 128 in one icon, for windows: an X11 window
// carries every size of its icon to the server, and where a desktop shows
// one larger it takes it from the installed icon theme.
QIcon windowIcon(VeskAppIdentity app, VeskProductPalette palette);

} // namespace VeskAppIcon
