#pragma once

#include <QColor>
#include <QFont>
#include <QIcon>
#include <QImage>
#include <QPainterPath>
#include <QRectF>
#include <QString>
#include <QStringList>

class QPainter;

// The one table of icons: small vector glyphs of our own drawing, looked up
// by the symbol names the views use ("doc.on.doc", "pin.fill", "xmark", ...).
// Every glyph is designed on a 24 x 24 grid and scaled to the box it is
// drawn in; the stroke weight follows the font weight it is shown with, as a
// symbol set beside text would. A name without a glyph draws a visible
// fallback (a framed question mark) so a missing icon is noticed, never blank.
namespace VeskSymbol {

inline constexpr qreal gridSize = 24.0;

bool contains(const QString &name);
// Every name with a glyph, sorted.
QStringList names();

// The glyph's filled outline on the 24 x 24 grid (the fallback's for an
// unknown name). Built once per name and weight, then reused; one still
// being built by prepare() is waited for (or built here, if not begun).
QPainterPath path(const QString &name, int weight = QFont::Normal);

// Begins building the outline on another thread, so that a widget made
// now finds its symbol ready when it is first painted instead of building
// it inside that paint. Does nothing for one built or begun already.
void prepare(const QString &name, int weight = QFont::Normal);

// The side of the square box a symbol takes beside text of this pixel size:
// the glyph's drawn part is then about as tall as the text's capitals plus
// ascenders, as a symbol set in that font would be.
qreal boxSide(qreal fontPixelSize);

// Draws the glyph fitted (aspect kept, centred) into the box.
void paint(QPainter &painter, const QRectF &box, const QString &name, const QColor &colour,
           int weight = QFont::Normal);

// The glyph alone on a transparent image of side × side device pixels.
QImage image(const QString &name, int side, const QColor &colour, int weight = QFont::Normal);

// An icon for menus and tool buttons, drawn in one colour at the usual sizes,
// each when first asked for.
QIcon icon(const QString &name, const QColor &colour, int weight = QFont::Normal);

} // namespace VeskSymbol
