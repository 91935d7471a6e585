#include "VeskKit/Design/Emblems/VeskEmblemArtworkProductivity.h"

#include "VeskKit/Design/Emblems/VeskEmblemPaths.h"
#include "VeskKit/Design/Emblems/VeskFlatDraw.h"

#include <QPainter>

namespace {

using namespace VeskEmblemPaths;
using VeskFlatDraw::fillShape;
using VeskFlatDraw::strokeShape;

// A folded map of three panels with a route across it.
void drawVeskAtlas(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, polygon({{24, 28}, {40, 23}, {40, 72}, {24, 77}}), tone.primary());
    fillShape(p, polygon({{40, 23}, {60, 28}, {60, 77}, {40, 72}}), tone.mid());
    fillShape(p, polygon({{60, 28}, {76, 23}, {76, 72}, {60, 77}}), tone.primary());
    strokeShape(p, polyline({{30, 62}, {44, 50}, {56, 58}, {70, 40}}), tone.cutout(0.75), 3);
}

// A lighthouse with its lamp lit.
void drawVeskBeacon(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, polygon({{42, 38}, {58, 38}, {63, 78}, {37, 78}}), tone.primary());
    fillShape(p, roundedRect(40, 24, 20, 13, 3.5), tone.primary());
    fillShape(p, roundedRect(44, 27.5, 12, 6, 2), tone.cutout(0.9));
    fillShape(p, bar(39, 50, 22, 5), tone.cutout(0.55));
    fillShape(p, bar(38, 63, 24, 5), tone.cutout(0.55));
    for (const qreal side : {-1.0, 1.0}) {
        strokeShape(p, line(50 + side * 16, 28, 50 + side * 26, 24), tone.accent(), 3);
        strokeShape(p, line(50 + side * 16, 34, 50 + side * 26, 38), tone.accent(), 3);
    }
}

// A painter's palette with three wells of paint and a thumb hole.
void drawVeskCanvas(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, ellipse(22, 27, 56, 46), tone.primary());
    fillShape(p, circle(37, 59, 5), tone.cutout(0.9));
    fillShape(p, circle(38, 40, 5), tone.cutout(0.55));
    fillShape(p, circle(52, 35, 5), tone.cutout(0.75));
    fillShape(p, circle(65, 43, 5), tone.cutout(0.9));
}

// A dock with three tiles, the middle one raised.
void drawVeskDock(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, roundedRect(20, 62, 60, 12, 6), tone.mid());
    fillShape(p, roundedRect(25, 44, 15, 15, 4), tone.primary());
    fillShape(p, roundedRect(42.5, 38, 15, 15, 4), tone.accent());
    fillShape(p, roundedRect(60, 44, 15, 15, 4), tone.primary());
    fillShape(p, circle(50, 68, 2), tone.primary());
}

// A source and its widening echoes.
void drawVeskEcho(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, circle(36, 50, 6), tone.primary());
    strokeShape(p, arc(36, 50, 13, -50, 50), tone.primary(), 4.5);
    strokeShape(p, arc(36, 50, 22, -50, 50), tone.mid(), 4.5);
    strokeShape(p, arc(36, 50, 31, -50, 50), tone.primaryAlpha(0.24), 4.5);
}

// Three currents flowing side by side.
void drawVeskFlux(QPainter &p, const VeskEmblemTone &tone)
{
    const VeskFlatPaint paints[] = {tone.primary(), tone.mid(), tone.primary()};
    for (int i = 0; i < 3; ++i) {
        const qreal y = 36 + i * 14;
        QPainterPath wave;
        wave.moveTo(24, y);
        wave.cubicTo(36, y - 11, 48, y + 11, 60, y);
        wave.lineTo(74, y);
        strokeShape(p, wave, paints[i], 5);
    }
}

// A three-by-three grid with its centre picked out.
void drawVeskGrid(QPainter &p, const VeskEmblemTone &tone)
{
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const bool centre = row == 1 && column == 1;
            const bool corner = row != 1 && column != 1;
            const VeskFlatPaint paint = centre ? tone.accent() : corner ? tone.primary() : tone.mid();
            fillShape(p, roundedRect(26 + column * 17, 26 + row * 17, 14, 14, 3.5), paint);
        }
    }
}

// An anchor.
void drawVeskHarbor(QPainter &p, const VeskEmblemTone &tone)
{
    strokeShape(p, circle(50, 28, 5.5), tone.primary(), 4);
    strokeShape(p, line(50, 34, 50, 75), tone.primary(), 5);
    strokeShape(p, line(39, 42, 61, 42), tone.primary(), 4.5);
    strokeShape(p, arc(50, 52, 22, 20, 160), tone.primary(), 5);
    fillShape(p, polygon({{64, 58}, {76, 54}, {74, 67}}), tone.primary());
    fillShape(p, polygon({{36, 58}, {24, 54}, {26, 67}}), tone.primary());
}

// A note card: lines of text as bars, and a result chip beside the two short
// ones.
void drawVeskZul(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, roundedRect(25, 22, 50, 56, 8.5), tone.primary());
    fillShape(p, roundedRect(33, 33, 26, 4.2, 2.1), tone.cutout(0.75));
    fillShape(p, roundedRect(33, 42, 19, 4.2, 2.1), tone.cutout(0.55));
    fillShape(p, roundedRect(33, 55.5, 11, 3.4, 1.7), tone.cutout(0.9));
    fillShape(p, roundedRect(33, 62, 11, 3.4, 1.7), tone.cutout(0.9));
    fillShape(p, roundedRect(49, 54.5, 18, 12, 4.5), tone.onPrimaryAccent());
}

// An eye with its iris and a glint.
void drawVeskIris(QPainter &p, const VeskEmblemTone &tone)
{
    QPainterPath eye;
    eye.moveTo(20, 50);
    eye.cubicTo(32, 30, 68, 30, 80, 50);
    eye.cubicTo(68, 70, 32, 70, 20, 50);
    eye.closeSubpath();
    fillShape(p, eye, tone.primary());
    fillShape(p, circle(50, 50, 12), tone.cutout(0.75));
    fillShape(p, circle(50, 50, 5.5), tone.primary());
    fillShape(p, circle(54.5, 45.5, 2.2), tone.cutout(0.9));
}

// A lightning bolt struck out of a tile.
void drawVeskJolt(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, roundedRect(24, 24, 52, 52, 12), tone.primary());
    fillShape(p, polygon({{55, 30}, {37, 54}, {48.5, 54}, {44, 70}, {63, 45}, {51.5, 45}, {56.5, 30}}),
              tone.cutout(0.9));
}

// A kite with its cross struts and tail.
void drawVeskKite(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, polygon({{50, 21}, {70, 43}, {50, 68}, {30, 43}}), tone.primary());
    strokeShape(p, line(50, 26, 50, 63), tone.cutout(0.75), 2.6);
    strokeShape(p, line(35, 43, 65, 43), tone.cutout(0.75), 2.6);
    QPainterPath tail;
    tail.moveTo(50, 68);
    tail.cubicTo(42, 72, 58, 74, 50, 80);
    strokeShape(p, tail, tone.mid(), 2.6);
}

// A light bulb with its filament.
void drawVeskLumen(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, circle(50, 41, 18), tone.primary());
    fillShape(p, roundedRect(42, 54, 16, 12, 3), tone.primary());
    fillShape(p, bar(42.5, 68, 15, 4.2), tone.mid());
    fillShape(p, bar(45, 74, 10, 4.2), tone.mid());
    strokeShape(p, polyline({{43, 46}, {46.5, 39}, {50, 46}, {53.5, 39}, {57, 46}}), tone.cutout(0.9), 2.6);
    strokeShape(p, arc(50, 41, 12.5, 195, 245), tone.cutout(0.55), 2.6);
}

// Four tiles of different weight.
void drawVeskMosaic(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, roundedRect(24, 24, 24, 24, 6), tone.primary());
    fillShape(p, roundedRect(52, 24, 24, 24, 6), tone.mid());
    fillShape(p, roundedRect(24, 52, 24, 24, 6), tone.accent());
    fillShape(p, roundedRect(52, 52, 24, 24, 6), tone.primary());
}

// A cloud with a streak of wind through it.
void drawVeskNimbus(QPainter &p, const VeskEmblemTone &tone)
{
    QPainterPath cloud = circle(37, 52, 12);
    cloud.addPath(circle(54, 44, 16));
    cloud.addPath(circle(67, 54, 10));
    cloud.addPath(roundedRect(25, 50, 52, 16, 8));
    fillShape(p, cloud, tone.primary());
    fillShape(p, bar(34, 56, 26, 4.2), tone.cutout(0.75));
}

// A planet inside a tilted ring, with a moon on the ring.
void drawVeskOrbit(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, circle(50, 50, 13), tone.primary());
    p.save();
    p.translate(50, 50);
    p.rotate(-25);
    // The cut opens a gap where the ring passes in front of the planet.
    strokeShape(p, ellipse(-32, -11, 64, 22), tone.cutout(0.9), 8);
    strokeShape(p, ellipse(-32, -11, 64, 22), tone.accent(), 3);
    fillShape(p, circle(24.5, -7.1, 4), tone.primary());
    p.restore();
}

// A heartbeat line across a card.
void drawVeskPulse(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, roundedRect(22, 26, 56, 48, 10), tone.primary());
    strokeShape(p, polyline({{29, 52}, {40, 52}, {45, 40}, {52, 63}, {58, 47}, {62, 52}, {71, 52}}),
                tone.cutout(0.9), 4);
}

// A feather pen.
void drawVeskQuill(QPainter &p, const VeskEmblemTone &tone)
{
    QPainterPath feather;
    feather.moveTo(74, 22);
    feather.cubicTo(52, 24, 36, 40, 35, 64);
    feather.cubicTo(51, 62, 67, 47, 74, 22);
    feather.closeSubpath();
    fillShape(p, feather, tone.primary());
    strokeShape(p, line(69, 28, 40, 59), tone.cutout(0.75), 2.4);
    strokeShape(p, line(36, 63, 28, 77), tone.primary(), 3);
}

// Two stations handing on through a relay in the middle.
void drawVeskRelay(QPainter &p, const VeskEmblemTone &tone)
{
    strokeShape(p, arc(50, 52, 26, 205, 335), tone.stroke(), 3);
    strokeShape(p, line(36, 52, 44, 52), tone.mid(), 4);
    strokeShape(p, line(56, 52, 64, 52), tone.mid(), 4);
    fillShape(p, circle(28, 52, 8), tone.primary());
    fillShape(p, circle(72, 52, 8), tone.primary());
    fillShape(p, circle(50, 52, 6), tone.accent());
}

// A spark: a four-pointed star and a small one beside it.
void drawVeskSpark(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, polygon({{48, 24}, {54, 46}, {76, 52}, {54, 58}, {48, 80}, {42, 58}, {20, 52}, {42, 46}}),
              tone.primary());
    fillShape(p, polygon({{72, 20}, {74.5, 27.5}, {82, 30}, {74.5, 32.5}, {72, 40}, {69.5, 32.5},
                          {62, 30}, {69.5, 27.5}}),
              tone.accent());
}

// Waves cut through a tile.
void drawVeskTide(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, roundedRect(24, 24, 52, 52, 14), tone.primary());
    const qreal strengths[] = {0.55, 0.75, 0.9};
    for (int i = 0; i < 3; ++i) {
        const qreal y = 39 + i * 11;
        QPainterPath wave;
        wave.moveTo(32, y);
        wave.cubicTo(38, y - 6, 44, y - 6, 50, y);
        wave.cubicTo(56, y + 6, 62, y + 6, 68, y);
        strokeShape(p, wave, tone.cutout(strengths[i]), 4);
    }
}

// An umbrella.
void drawVeskUmbra(QPainter &p, const VeskEmblemTone &tone)
{
    QPainterPath canopy = arc(50, 52, 28, 180, 360);
    canopy.closeSubpath();
    fillShape(p, canopy, tone.primary());
    // Scallops along the hem: half discs, so under flat light nothing hangs
    // below the canopy.
    for (const qreal x : {31.3, 50.0, 68.7}) {
        QPainterPath scallop = arc(x, 52, 9.3, 180, 360);
        scallop.closeSubpath();
        fillShape(p, scallop, tone.cutout(0.9));
    }
    QPainterPath handle = line(50, 40, 50, 72);
    appendArc(handle, 45, 72, 5, 0, 180);
    strokeShape(p, handle, tone.primary(), 4);
}

// A safe with its dial and handle.
void drawVeskVault(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, roundedRect(22, 24, 56, 50, 9), tone.primary());
    strokeShape(p, circle(45, 49, 12.5), tone.cutout(0.9), 4);
    fillShape(p, circle(45, 49, 3.5), tone.cutout(0.75));
    fillShape(p, bar(65, 41, 5, 16), tone.cutout(0.75));
    fillShape(p, roundedRect(28, 74, 9, 5, 2), tone.mid());
    fillShape(p, roundedRect(63, 74, 9, 5, 2), tone.mid());
}

// A curl of smoke.
void drawVeskWisp(QPainter &p, const VeskEmblemTone &tone)
{
    QPainterPath swirl = arc(50, 52, 24, 180, 360);
    appendArc(swirl, 56, 52, 18, 0, 180);
    appendArc(swirl, 50, 52, 12, 180, 360);
    appendArc(swirl, 55, 52, 7, 0, 150);
    strokeShape(p, swirl, tone.primary(), 5);
    fillShape(p, circle(72, 30, 3.5), tone.accent());
}

// A ball of yarn with a loose end.
void drawVeskYarn(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, circle(48, 50, 24), tone.primary());
    // Strands wound round one side, held inside the ball.
    strokeShape(p, arc(22, 24, 28, 12, 78), tone.cutout(0.75), 2.8);
    strokeShape(p, arc(22, 24, 38, 14, 76), tone.cutout(0.75), 2.8);
    strokeShape(p, arc(22, 24, 48, 22, 68), tone.cutout(0.55), 2.8);
    QPainterPath thread;
    thread.moveTo(68, 64);
    thread.cubicTo(76, 70, 70, 78, 80, 80);
    strokeShape(p, thread, tone.primary(), 2.6);
}

// Gusts of wind curling at their ends.
void drawVeskZephyr(QPainter &p, const VeskEmblemTone &tone)
{
    QPainterPath upper = line(22, 40, 58, 40);
    appendArc(upper, 58, 32, 8, 90, -150);
    strokeShape(p, upper, tone.primary(), 4.5);
    QPainterPath middle = line(28, 53, 70, 53);
    appendArc(middle, 70, 45, 8, 90, -150);
    strokeShape(p, middle, tone.primary(), 4.5);
    QPainterPath lower = line(22, 65, 52, 65);
    appendArc(lower, 52, 73, 8, -90, 150);
    strokeShape(p, lower, tone.mid(), 4.5);
}

// An anvil with sparks flying.
void drawVeskAnvil(QPainter &p, const VeskEmblemTone &tone)
{
    QPainterPath anvil;
    anvil.moveTo(22, 40);
    anvil.lineTo(78, 40);
    anvil.lineTo(78, 47);
    anvil.lineTo(64, 53);
    anvil.lineTo(60, 61);
    anvil.lineTo(68, 72);
    anvil.lineTo(32, 72);
    anvil.lineTo(40, 61);
    anvil.lineTo(37, 53);
    anvil.cubicTo(29, 51, 23, 47, 22, 40);
    anvil.closeSubpath();
    fillShape(p, anvil, tone.primary());
    fillShape(p, bar(32, 43.5, 40, 3), tone.cutout(0.55));
    fillShape(p, circle(62, 27, 2.4), tone.accent());
    fillShape(p, circle(70, 23, 2), tone.accent());
    fillShape(p, circle(74, 31, 2.6), tone.accent());
}

} // namespace

namespace VeskEmblemArtworkProductivity {

bool draw(VeskAppIdentity app, QPainter &painter, const VeskEmblemTone &tone)
{
    switch (app) {
    case VeskAppIdentity::veskAtlas: drawVeskAtlas(painter, tone); return true;
    case VeskAppIdentity::veskBeacon: drawVeskBeacon(painter, tone); return true;
    case VeskAppIdentity::veskCanvas: drawVeskCanvas(painter, tone); return true;
    case VeskAppIdentity::veskDock: drawVeskDock(painter, tone); return true;
    case VeskAppIdentity::veskEcho: drawVeskEcho(painter, tone); return true;
    case VeskAppIdentity::veskFlux: drawVeskFlux(painter, tone); return true;
    case VeskAppIdentity::veskGrid: drawVeskGrid(painter, tone); return true;
    case VeskAppIdentity::veskHarbor: drawVeskHarbor(painter, tone); return true;
    case VeskAppIdentity::veskZul: drawVeskZul(painter, tone); return true;
    case VeskAppIdentity::veskIris: drawVeskIris(painter, tone); return true;
    case VeskAppIdentity::veskJolt: drawVeskJolt(painter, tone); return true;
    case VeskAppIdentity::veskKite: drawVeskKite(painter, tone); return true;
    case VeskAppIdentity::veskLumen: drawVeskLumen(painter, tone); return true;
    case VeskAppIdentity::veskMosaic: drawVeskMosaic(painter, tone); return true;
    case VeskAppIdentity::veskNimbus: drawVeskNimbus(painter, tone); return true;
    case VeskAppIdentity::veskOrbit: drawVeskOrbit(painter, tone); return true;
    case VeskAppIdentity::veskPulse: drawVeskPulse(painter, tone); return true;
    case VeskAppIdentity::veskQuill: drawVeskQuill(painter, tone); return true;
    case VeskAppIdentity::veskRelay: drawVeskRelay(painter, tone); return true;
    case VeskAppIdentity::veskSpark: drawVeskSpark(painter, tone); return true;
    case VeskAppIdentity::veskTide: drawVeskTide(painter, tone); return true;
    case VeskAppIdentity::veskUmbra: drawVeskUmbra(painter, tone); return true;
    case VeskAppIdentity::veskVault: drawVeskVault(painter, tone); return true;
    case VeskAppIdentity::veskWisp: drawVeskWisp(painter, tone); return true;
    case VeskAppIdentity::veskYarn: drawVeskYarn(painter, tone); return true;
    case VeskAppIdentity::veskZephyr: drawVeskZephyr(painter, tone); return true;
    case VeskAppIdentity::veskAnvil: drawVeskAnvil(painter, tone); return true;
    default: return false;
    }
}

} // namespace VeskEmblemArtworkProductivity
