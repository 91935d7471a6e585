#include "VeskKit/Design/VeskGlassTokens.h"

#include "VeskKit/Design/VeskColorHex.h"

namespace {

QColor white(double opacity)
{
    return veskColorFromHex(0xFFFFFF, opacity);
}

} // namespace

namespace VeskGlassTokens {

// Function-local statics: built on first use, safely even when two threads
// arrive together.
const QColor &surface1() { static const QColor c = white(0.06); return c; }
const QColor &surface2() { static const QColor c = white(0.10); return c; }
const QColor &surface3() { static const QColor c = white(0.16); return c; }
const QColor &borderSubtle() { static const QColor c = white(0.14); return c; }
const QColor &borderStrong() { static const QColor c = white(0.28); return c; }
const QColor &textPrimary() { static const QColor c = white(0.96); return c; }
const QColor &textSecondary() { static const QColor c = white(0.72); return c; }
const QColor &textMuted() { static const QColor c = white(0.50); return c; }
const QColor &success() { static const QColor c = veskColorFromHex(0x3EE6A8); return c; }
const QColor &warning() { static const QColor c = veskColorFromHex(0xFFB84D); return c; }
const QColor &danger() { static const QColor c = veskColorFromHex(0xFF647C); return c; }

} // namespace VeskGlassTokens
