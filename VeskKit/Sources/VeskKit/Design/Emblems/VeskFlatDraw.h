#pragma once

#include "VeskKit/Design/Emblems/VeskEmblemTone.h"
#include "VeskKit/Design/Emblems/VeskFlatPaint.h"

class QPainter;
class QPainterPath;

// The drawing steps every emblem goes through, and the shapes several emblems
// share. Coordinates are on the 100 x 100 emblem grid (x right, y down).
// Each step leaves the painter's state (composition mode, pen, brush) as it
// found it, so a cut never leaks into the next shape.
namespace VeskFlatDraw {

// Fills with the non-zero winding rule; a cut removes coverage of what the
// emblem drew before.
void fillShape(QPainter &painter, const QPainterPath &path, const VeskFlatPaint &paint);
// Strokes with round caps and round joins.
void strokeShape(QPainter &painter, const QPainterPath &path, const VeskFlatPaint &paint,
                 qreal lineWidth);

void displayFrame(QPainter &painter, const VeskEmblemTone &tone);
void foldedSheet(QPainter &painter, const VeskEmblemTone &tone);
void splitShield(QPainter &painter, const VeskEmblemTone &tone);

} // namespace VeskFlatDraw
