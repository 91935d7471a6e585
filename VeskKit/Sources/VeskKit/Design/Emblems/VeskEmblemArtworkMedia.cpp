#include "VeskKit/Design/Emblems/VeskEmblemArtworkMedia.h"

#include "VeskKit/Design/Emblems/VeskEmblemPaths.h"
#include "VeskKit/Design/Emblems/VeskFlatDraw.h"

#include <QPainter>

#include <cmath>
#include <numbers>

namespace {

using namespace VeskEmblemPaths;
using VeskFlatDraw::fillShape;
using VeskFlatDraw::strokeShape;

} // namespace

namespace VeskEmblemArtworkMedia {

// A flower of six petals round an open heart.
void drawVeskBloom(QPainter &p, const VeskEmblemTone &tone)
{
    QPainterPath petals;
    for (int i = 0; i < 6; ++i) {
        const qreal angle = (i * 60 - 90) * std::numbers::pi / 180;
        petals.addPath(circle(50 + 15 * std::cos(angle), 50 + 15 * std::sin(angle), 11));
    }
    fillShape(p, petals, tone.primary());
    fillShape(p, circle(50, 50, 8), tone.cutout(0.9));
    fillShape(p, circle(50, 50, 4), tone.accent());
}

// A padlock with its keyhole.
void drawVeskCipher(QPainter &p, const VeskEmblemTone &tone)
{
    QPainterPath shackle = line(38, 50, 38, 39);
    appendArc(shackle, 50, 39, 12, 180, 360);
    shackle.lineTo(62, 50);
    strokeShape(p, shackle, tone.primary(), 5);
    fillShape(p, roundedRect(29, 46, 42, 32, 7), tone.primary());
    fillShape(p, circle(50, 58, 4.5), tone.cutout(0.9));
    fillShape(p, roundedRect(48, 58, 4, 11, 2), tone.cutout(0.9));
}

// A leaf adrift, with its veins.
void drawVeskDrift(QPainter &p, const VeskEmblemTone &tone)
{
    QPainterPath leaf;
    leaf.moveTo(26, 74);
    leaf.cubicTo(26, 44, 44, 26, 76, 24);
    leaf.cubicTo(74, 56, 56, 74, 26, 74);
    leaf.closeSubpath();
    fillShape(p, leaf, tone.primary());
    strokeShape(p, line(31, 69, 64, 36), tone.cutout(0.75), 2.6);
    strokeShape(p, line(42, 58, 41, 46), tone.cutout(0.55), 2);
    strokeShape(p, line(53, 47, 52, 37), tone.cutout(0.55), 2);
    strokeShape(p, line(42, 58, 54, 59), tone.cutout(0.55), 2);
    strokeShape(p, line(53, 47, 64, 48), tone.cutout(0.55), 2);
}

// An open book with lines of text.
void drawVeskFable(QPainter &p, const VeskEmblemTone &tone)
{
    QPainterPath left;
    left.moveTo(48.5, 31);
    left.cubicTo(41, 26, 30, 26, 22, 28);
    left.lineTo(22, 72);
    left.cubicTo(30, 70, 41, 70, 48.5, 75);
    left.closeSubpath();
    fillShape(p, left, tone.primary());
    QPainterPath right;
    right.moveTo(51.5, 31);
    right.cubicTo(59, 26, 70, 26, 78, 28);
    right.lineTo(78, 72);
    right.cubicTo(70, 70, 59, 70, 51.5, 75);
    right.closeSubpath();
    fillShape(p, right, tone.primary());
    fillShape(p, bar(28, 38, 15, 3.2), tone.cutout(0.55));
    fillShape(p, bar(28, 46, 15, 3.2), tone.cutout(0.55));
    fillShape(p, bar(28, 54, 11, 3.2), tone.cutout(0.55));
    fillShape(p, bar(57, 38, 15, 3.2), tone.cutout(0.55));
    fillShape(p, bar(57, 46, 12, 3.2), tone.cutout(0.55));
}

// A letter-like stroke cut out of a tile.
void drawVeskGlyph(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, roundedRect(24, 24, 52, 52, 12), tone.primary());
    QPainterPath letter = arc(50, 50, 14, -45, -340);
    letter.lineTo(63.2, 50);
    letter.lineTo(53, 50);
    strokeShape(p, letter, tone.cutout(0.9), 5);
}

// A house with a door and a window.
void drawVeskHaven(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, roundedRect(62, 27, 7, 14, 1.5), tone.primary());
    fillShape(p, polygon({{50, 22}, {79, 47}, {72, 47}, {72, 77}, {28, 77}, {28, 47}, {21, 47}}),
              tone.primary());
    fillShape(p, roundedRect(44, 57, 12, 20, 3), tone.cutout(0.9));
    fillShape(p, roundedRect(33, 52, 8, 8, 2), tone.cutout(0.75));
    fillShape(p, roundedRect(59, 52, 8, 8, 2), tone.cutout(0.75));
}

// A written page.
void drawVeskInkwell(QPainter &p, const VeskEmblemTone &tone)
{
    VeskFlatDraw::foldedSheet(p, tone);
    fillShape(p, bar(34, 47, 28, 3.4), tone.cutout(0.75));
    fillShape(p, bar(34, 55, 32, 3.4), tone.cutout(0.75));
    fillShape(p, bar(34, 63, 18, 3.4), tone.cutout(0.75));
}

// A juniper tree in three tiers.
void drawVeskJuniper(QPainter &p, const VeskEmblemTone &tone)
{
    QPainterPath tree = polygon({{50, 20}, {64, 38}, {36, 38}});
    tree.addPath(polygon({{50, 29}, {70, 54}, {30, 54}}));
    tree.addPath(polygon({{50, 42}, {76, 70}, {24, 70}}));
    fillShape(p, tree, tone.primary());
    fillShape(p, roundedRect(45.5, 70, 9, 10, 2), tone.mid());
}

// A sailing boat on its keel.
void drawVeskKeel(QPainter &p, const VeskEmblemTone &tone)
{
    strokeShape(p, line(50, 22, 50, 58), tone.primary(), 3);
    fillShape(p, polygon({{53, 24}, {74, 54}, {53, 54}}), tone.mid());
    fillShape(p, polygon({{47, 30}, {47, 54}, {29, 54}}), tone.primary());
    fillShape(p, polygon({{22, 59}, {78, 59}, {68, 72}, {32, 72}}), tone.primary());
    fillShape(p, polygon({{46, 72}, {54, 72}, {51, 79}, {49, 79}}), tone.primary());
}

// Warp and weft woven over and under.
void drawVeskLoom(QPainter &p, const VeskEmblemTone &tone)
{
    QPainterPath warp;
    for (int i = 0; i < 4; ++i)
        warp.addPath(bar(27 + i * 13, 23, 7, 54));
    fillShape(p, warp, tone.primary());
    for (int row = 0; row < 4; ++row) {
        const qreal y = 29 + row * 12;
        for (int i = 0; i < 4; ++i) {
            // Where the weft passes over, it parts the warp thread beneath.
            if ((row + i) % 2 == 0)
                fillShape(p, roundedRect(25.5 + i * 13, y - 1.5, 10, 9, 2), tone.cutout(0.9));
        }
        fillShape(p, bar(22, y, 56, 6), tone.mid());
        for (int i = 0; i < 4; ++i) {
            if ((row + i) % 2 == 1)
                fillShape(p, roundedRect(27 + i * 13, y - 1, 7, 8, 1.5), tone.primary());
        }
    }
}

// A globe with its meridian and parallels.
void drawVeskMeridian(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, circle(50, 50, 26), tone.primary());
    strokeShape(p, ellipse(38, 24.5, 24, 51), tone.cutout(0.75), 2.6);
    strokeShape(p, line(26.5, 50, 73.5, 50), tone.cutout(0.75), 2.6);
    strokeShape(p, line(30, 37.5, 70, 37.5), tone.cutout(0.55), 2.2);
    strokeShape(p, line(30, 62.5, 70, 62.5), tone.cutout(0.55), 2.2);
}

// A hub joined to six nodes round it.
void drawVeskNexus(QPainter &p, const VeskEmblemTone &tone)
{
    for (int i = 0; i < 6; ++i) {
        const qreal angle = (i * 60 - 90) * std::numbers::pi / 180;
        const QPointF node(50 + 24 * std::cos(angle), 50 + 24 * std::sin(angle));
        strokeShape(p, line(50, 50, node.x(), node.y()), tone.primaryAlpha(0.5), 2.6);
        fillShape(p, circle(node.x(), node.y(), 5.5), i % 2 == 0 ? tone.primary() : tone.accent());
    }
    fillShape(p, circle(50, 50, 9), tone.primary());
}

// A cut stone: crown above, pavilion below.
void drawVeskOnyx(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, polygon({{36, 26}, {64, 26}, {76, 42}, {24, 42}}), tone.primary());
    fillShape(p, polygon({{24, 44}, {49, 44}, {49, 76}}), tone.primaryAlpha(0.72));
    fillShape(p, polygon({{51, 44}, {76, 44}, {51, 76}}), tone.mid());
}

// A prism splitting a ray of light.
void drawVeskPrism(QPainter &p, const VeskEmblemTone &tone)
{
    strokeShape(p, line(21, 55, 36, 49), tone.primary(), 3);
    fillShape(p, polygon({{50, 24}, {74, 68}, {26, 68}}), tone.primary());
    strokeShape(p, line(66, 49, 80, 42), tone.accent(), 3);
    strokeShape(p, line(68, 54, 81, 54), tone.mid(), 3);
    strokeShape(p, line(70, 59, 80, 66), tone.primaryAlpha(0.28), 3);
}

// A pickaxe.
void drawVeskQuarry(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, bar(46.5, 34, 7, 46), tone.mid());
    QPainterPath head;
    head.moveTo(22, 42);
    head.cubicTo(38, 25, 62, 25, 78, 42);
    head.lineTo(74, 46);
    head.cubicTo(58, 35, 42, 35, 26, 46);
    head.closeSubpath();
    fillShape(p, head, tone.primary());
}

} // namespace VeskEmblemArtworkMedia
