#include "VeskKit/Design/Emblems/VeskFlatDraw.h"

#include "VeskKit/Design/Emblems/VeskEmblemPaths.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

namespace {

// Sets the painter up for one paint; returns false when the paint cannot draw
// anything sensible (a cut of no finite strength).
bool applyPaint(QPainter &painter, const VeskFlatPaint &paint, QColor &colour)
{
    if (paint.kind() == VeskFlatPaint::Kind::color) {
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        colour = paint.paintColor();
        return true;
    }
    const qreal alpha = paint.cutoutAlpha();
    if (!std::isfinite(alpha))
        return false;
    painter.setCompositionMode(QPainter::CompositionMode_DestinationOut);
    colour = QColor::fromRgbF(0, 0, 0, float(std::clamp(alpha, 0.0, 1.0)));
    return true;
}

} // namespace

namespace VeskFlatDraw {

void fillShape(QPainter &painter, const QPainterPath &path, const VeskFlatPaint &paint)
{
    painter.save();
    QColor colour;
    if (applyPaint(painter, paint, colour)) {
        QPainterPath winding = path;
        winding.setFillRule(Qt::WindingFill);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        painter.drawPath(winding);
    }
    painter.restore();
}

void strokeShape(QPainter &painter, const QPainterPath &path, const VeskFlatPaint &paint,
                 qreal lineWidth)
{
    painter.save();
    QColor colour;
    if (applyPaint(painter, paint, colour)) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(colour, lineWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.drawPath(path);
    }
    painter.restore();
}

void displayFrame(QPainter &painter, const VeskEmblemTone &tone)
{
    const QPainterPath screen = VeskEmblemPaths::roundedRect(21, 25, 58, 39, 8.5);
    fillShape(painter, screen, tone.soft());
    strokeShape(painter, screen, tone.primary(), 3);
    fillShape(painter, VeskEmblemPaths::roundedRect(38, 70, 24, 4.6, 2.3), tone.primaryAlpha(0.82));
}

void foldedSheet(QPainter &painter, const VeskEmblemTone &tone)
{
    QPainterPath sheet;
    sheet.moveTo(33, 22);
    sheet.lineTo(56, 22);
    sheet.lineTo(73, 39);
    sheet.lineTo(73, 72);
    sheet.cubicTo(73, 75.3, 70.3, 78, 67, 78);
    sheet.lineTo(33, 78);
    sheet.cubicTo(29.7, 78, 27, 75.3, 27, 72);
    sheet.lineTo(27, 28);
    sheet.cubicTo(27, 24.7, 29.7, 22, 33, 22);
    sheet.closeSubpath();
    fillShape(painter, sheet, tone.primary());

    QPainterPath fold;
    fold.moveTo(56, 22);
    fold.lineTo(56, 34);
    fold.cubicTo(56, 36.8, 58.2, 39, 61, 39);
    fold.lineTo(73, 39);
    fold.closeSubpath();
    fillShape(painter, fold,
              tone.isWhiteGlass ? VeskFlatPaint::cutout(0.55)
                                : VeskFlatPaint::color(tone.accentColor));
}

void splitShield(QPainter &painter, const VeskEmblemTone &tone)
{
    QPainterPath left;
    left.moveTo(48.7, 23);
    left.lineTo(27, 31.4);
    left.cubicTo(27, 49.4, 33.8, 65.4, 48.7, 76);
    left.closeSubpath();
    fillShape(painter, left, tone.primary());

    QPainterPath right;
    right.moveTo(51.3, 23);
    right.lineTo(73, 31.4);
    right.cubicTo(73, 49.4, 66.2, 65.4, 51.3, 76);
    right.closeSubpath();
    fillShape(painter, right, tone.mid());
}

} // namespace VeskFlatDraw
