#include "VeskKit/Design/Emblems/VeskEmblemArtworkSystemNet.h"

#include "VeskKit/Design/Emblems/VeskEmblemPaths.h"
#include "VeskKit/Design/Emblems/VeskFlatDraw.h"

#include <QPainter>

#include <cmath>
#include <numbers>

namespace {

using namespace VeskEmblemPaths;
using VeskFlatDraw::fillShape;
using VeskFlatDraw::strokeShape;

// Rings spreading from a drop.
void drawVeskRipple(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, circle(50, 50, 6.5), tone.primary());
    strokeShape(p, circle(50, 50, 15), tone.primary(), 3.5);
    strokeShape(p, circle(50, 50, 23), tone.mid(), 3);
    strokeShape(p, circle(50, 50, 30), tone.primaryAlpha(0.24), 2.6);
}

// A sextant's arc with its scale and index arm.
void drawVeskSextant(QPainter &p, const VeskEmblemTone &tone)
{
    QPainterPath sector;
    sector.moveTo(50, 24);
    appendArc(sector, 50, 24, 52, 118, 62);
    sector.closeSubpath();
    fillShape(p, sector, tone.primary());
    for (const qreal degrees : {72.0, 81.0, 90.0, 99.0, 108.0}) {
        const qreal angle = degrees * std::numbers::pi / 180;
        strokeShape(p, line(50 + 44 * std::cos(angle), 24 + 44 * std::sin(angle),
                            50 + 49 * std::cos(angle), 24 + 49 * std::sin(angle)),
                    tone.cutout(0.9), 2);
    }
    strokeShape(p, line(50, 29, 58, 66), tone.cutout(0.75), 3);
    fillShape(p, circle(50, 30, 3), tone.cutout(0.9));
}

// A torch throwing its beam.
void drawVeskTorch(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, roundedRect(20, 44, 36, 13, 4), tone.primary());
    fillShape(p, polygon({{54, 43}, {65, 37}, {65, 64}, {54, 58}}), tone.primary());
    fillShape(p, bar(29, 48.5, 11, 4), tone.cutout(0.9));
    fillShape(p, polygon({{68, 38}, {82, 28}, {82, 73}, {68, 63}}), tone.soft());
}

// A cloud with an arrow going up.
void drawVeskUplink(QPainter &p, const VeskEmblemTone &tone)
{
    QPainterPath cloud = circle(36, 54, 12);
    cloud.addPath(circle(52, 45, 16));
    cloud.addPath(circle(66, 55, 11));
    cloud.addPath(roundedRect(24, 52, 54, 16, 8));
    fillShape(p, cloud, tone.primary());
    fillShape(p, polygon({{51, 39}, {61, 50}, {54.5, 50}, {54.5, 62}, {47.5, 62}, {47.5, 50}, {41, 50}}),
              tone.cutout(0.9));
}

// Mountains and sun in a window.
void drawVeskVista(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, roundedRect(22, 26, 56, 48, 8), tone.primary());
    fillShape(p, polygon({{28, 67}, {42, 45}, {50, 57}, {58, 49}, {72, 67}}), tone.cutout(0.75));
    fillShape(p, circle(63, 38, 5), tone.cutout(0.9));
}

// A small bird.
void drawVeskWren(QPainter &p, const VeskEmblemTone &tone)
{
    QPainterPath bird;
    bird.moveTo(24, 58);
    bird.cubicTo(30, 42, 48, 35, 62, 40);
    bird.lineTo(77, 33);
    bird.lineTo(70, 46);
    bird.cubicTo(68, 62, 52, 71, 35, 68);
    bird.lineTo(24, 76);
    bird.closeSubpath();
    fillShape(p, bird, tone.primary());
    fillShape(p, circle(59, 45, 2.8), tone.cutout(0.9));
    QPainterPath wing;
    wing.moveTo(36, 56);
    wing.cubicTo(44, 49, 52, 51, 56, 58);
    strokeShape(p, wing, tone.cutout(0.75), 2.6);
    strokeShape(p, line(45, 69, 43, 78), tone.primary(), 2);
    strokeShape(p, line(53, 68, 53, 78), tone.primary(), 2);
}

// Rising bars and a rising line.
void drawVeskYield(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, roundedRect(26, 58, 11, 18, 2.5), tone.mid());
    fillShape(p, roundedRect(41, 48, 11, 28, 2.5), tone.primaryAlpha(0.72));
    fillShape(p, roundedRect(56, 38, 11, 38, 2.5), tone.primary());
    strokeShape(p, polyline({{24, 46}, {38, 36}, {48, 40}, {66, 26}}), tone.accent(), 3.5);
    fillShape(p, polygon({{74, 20}, {63, 22}, {71, 31}}), tone.accent());
}

// Curtains of light across the sky.
void drawVeskAurora(QPainter &p, const VeskEmblemTone &tone)
{
    const VeskFlatPaint bands[] = {tone.primary(), tone.mid(), tone.primaryAlpha(0.24)};
    for (int i = 0; i < 3; ++i) {
        const qreal dy = i * 11;
        QPainterPath band;
        band.moveTo(22, 56 + dy);
        band.cubicTo(34, 28 + dy, 58, 52 + dy, 78, 28 + dy);
        strokeShape(p, band, bands[i], 6);
    }
    fillShape(p, circle(30, 28, 2.2), tone.accent());
    fillShape(p, circle(44, 23, 1.6), tone.accent());
}

// A fortified screen: battlements inside a display.
void drawVeskBastion(QPainter &p, const VeskEmblemTone &tone)
{
    VeskFlatDraw::displayFrame(p, tone);
    fillShape(p, polygon({{39, 56}, {39, 37}, {44, 37}, {44, 41}, {47.5, 41}, {47.5, 37}, {52.5, 37},
                          {52.5, 41}, {56, 41}, {56, 37}, {61, 37}, {61, 56}}),
              tone.primary());
}

// A cairn of stacked stones.
void drawVeskCairn(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, ellipse(25, 63, 50, 14), tone.primary());
    fillShape(p, ellipse(31, 49, 38, 13), tone.primary());
    fillShape(p, ellipse(37, 36, 26, 12), tone.mid());
    fillShape(p, ellipse(43.5, 24, 13, 11), tone.primary());
}

// A river delta: a triangle with its inner channel.
void drawVeskDelta(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, polygon({{50, 22}, {78, 72}, {22, 72}}), tone.primary());
    fillShape(p, polygon({{50, 43}, {64, 66}, {36, 66}}), tone.cutout(0.9));
}

// A crescent inside a faint corona.
void drawVeskEclipse(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, circle(50, 50, 24), tone.primary());
    fillShape(p, circle(60, 44, 19), tone.cutout(0.9));
    strokeShape(p, circle(50, 50, 30), tone.stroke(), 2.6);
}

// A shield with a wave across it.
void drawVeskFjord(QPainter &p, const VeskEmblemTone &tone)
{
    VeskFlatDraw::splitShield(p, tone);
    QPainterPath wave;
    wave.moveTo(33, 48);
    wave.cubicTo(39, 42, 44, 54, 50, 48);
    wave.cubicTo(56, 42, 61, 54, 67, 48);
    strokeShape(p, wave, tone.cutout(0.9), 3.5);
}

// A faceted round stone.
void drawVeskGarnet(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, polygon({{40, 24}, {60, 24}, {76, 40}, {76, 60}, {60, 76}, {40, 76}, {24, 60}, {24, 40}}),
              tone.primary());
    strokeShape(p, polygon({{40, 37}, {60, 37}, {66, 50}, {60, 63}, {40, 63}, {34, 50}}),
                tone.cutout(0.75), 2.4);
    strokeShape(p, line(40, 37, 32, 29), tone.cutout(0.55), 2);
    strokeShape(p, line(60, 37, 68, 29), tone.cutout(0.55), 2);
    strokeShape(p, line(60, 63, 68, 71), tone.cutout(0.55), 2);
    strokeShape(p, line(40, 63, 32, 71), tone.cutout(0.55), 2);
}

// A double helix.
void drawVeskHelix(QPainter &p, const VeskEmblemTone &tone)
{
    strokeShape(p, line(41, 29, 59, 29), tone.primaryAlpha(0.6), 2.6);
    strokeShape(p, line(38, 50, 62, 50), tone.primaryAlpha(0.6), 2.6);
    strokeShape(p, line(41, 71, 59, 71), tone.primaryAlpha(0.6), 2.6);
    QPainterPath first;
    first.moveTo(36, 22);
    first.cubicTo(36, 38, 64, 38, 64, 50);
    first.cubicTo(64, 62, 36, 62, 36, 78);
    strokeShape(p, first, tone.primary(), 4.5);
    QPainterPath second;
    second.moveTo(64, 22);
    second.cubicTo(64, 38, 36, 38, 36, 50);
    second.cubicTo(36, 62, 64, 62, 64, 78);
    strokeShape(p, second, tone.mid(), 4.5);
}

// Index cards, the front one tabbed and written on.
void drawVeskIndex(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, roundedRect(30, 22, 46, 40, 6), tone.mid());
    fillShape(p, roundedRect(30, 29, 17, 10, 3), tone.primary());
    fillShape(p, roundedRect(24, 34, 48, 44, 7), tone.primary());
    fillShape(p, bar(32, 50, 31, 4), tone.cutout(0.75));
    fillShape(p, bar(32, 60, 22, 4), tone.cutout(0.55));
}

// A jetty: planks on posts over the water.
void drawVeskJetty(QPainter &p, const VeskEmblemTone &tone)
{
    for (int i = 0; i < 5; ++i)
        fillShape(p, roundedRect(23 + i * 11, 40, 9, 13, 2), tone.primary());
    fillShape(p, bar(29, 53, 5, 21), tone.mid());
    fillShape(p, bar(66, 53, 5, 21), tone.mid());
    QPainterPath water;
    water.moveTo(22, 70);
    water.cubicTo(30, 64, 38, 76, 50, 70);
    water.cubicTo(62, 64, 70, 76, 78, 70);
    strokeShape(p, water, tone.stroke(), 3);
}

// A processor die with its pins.
void drawVeskKernel(QPainter &p, const VeskEmblemTone &tone)
{
    QPainterPath pins;
    for (int i = 0; i < 4; ++i) {
        const qreal along = 34 + i * 9;
        pins.addPath(bar(along, 21, 5, 10));
        pins.addPath(bar(along, 69, 5, 10));
        pins.addPath(bar(21, along, 10, 5));
        pins.addPath(bar(69, along, 10, 5));
    }
    fillShape(p, pins, tone.mid());
    fillShape(p, roundedRect(29, 29, 42, 42, 7), tone.primary());
    fillShape(p, roundedRect(39, 39, 22, 22, 4), tone.cutout(0.75));
    fillShape(p, circle(44.5, 44.5, 2.2), tone.primary());
}

// A lattice cut into a tile.
void drawVeskLattice(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, roundedRect(24, 24, 52, 52, 10), tone.primary());
    const VeskFlatPaint cut = tone.cutout(0.9);
    // Ends held inside the tile so flat light paints nothing beyond it.
    strokeShape(p, line(26, 42, 42, 26), cut, 3);
    strokeShape(p, line(26, 62, 62, 26), cut, 3);
    strokeShape(p, line(38, 74, 74, 38), cut, 3);
    strokeShape(p, line(58, 74, 74, 58), cut, 3);
    strokeShape(p, line(58, 26, 74, 42), cut, 3);
    strokeShape(p, line(38, 26, 74, 62), cut, 3);
    strokeShape(p, line(26, 38, 62, 74), cut, 3);
    strokeShape(p, line(26, 58, 42, 74), cut, 3);
}

// A horseshoe magnet.
void drawVeskMagnet(QPainter &p, const VeskEmblemTone &tone)
{
    QPainterPath horseshoe = line(32, 36, 32, 50);
    appendArc(horseshoe, 50, 50, 18, 180, 0);
    horseshoe.lineTo(68, 36);
    strokeShape(p, horseshoe, tone.primary(), 12);
    fillShape(p, roundedRect(26, 22, 12, 10, 2.5), tone.mid());
    fillShape(p, roundedRect(62, 22, 12, 10, 2.5), tone.mid());
}

// A needle pointing north inside a ring.
void drawVeskNorth(QPainter &p, const VeskEmblemTone &tone)
{
    strokeShape(p, circle(50, 50, 27), tone.stroke(), 3);
    fillShape(p, polygon({{50, 25}, {57.5, 50}, {42.5, 50}}), tone.primary());
    fillShape(p, polygon({{42.5, 50}, {57.5, 50}, {50, 75}}), tone.mid());
}

// A shield set with a round stone.
void drawVeskOpal(QPainter &p, const VeskEmblemTone &tone)
{
    VeskFlatDraw::splitShield(p, tone);
    fillShape(p, circle(50, 45, 8.5), tone.cutout(0.9));
    fillShape(p, circle(50, 45, 4), tone.accent());
}

// A paper plane.
void drawVeskPilot(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, polygon({{22, 50}, {78, 26}, {46, 58}}), tone.primary());
    fillShape(p, polygon({{46, 58}, {78, 26}, {61, 74}}), tone.mid());
    fillShape(p, polygon({{46, 58}, {52, 62}, {48, 71}}), tone.primary());
    strokeShape(p, line(48, 56, 74, 30), tone.cutout(0.75), 2);
}

// A quasar: a bright core with its two jets and a tilted disc.
void drawVeskQuasar(QPainter &p, const VeskEmblemTone &tone)
{
    p.save();
    p.translate(50, 50);
    p.rotate(35);
    fillShape(p, bar(-3, -32, 6, 22), tone.mid());
    fillShape(p, bar(-3, 10, 6, 22), tone.mid());
    strokeShape(p, ellipse(-24, -6.5, 48, 13), tone.accent(), 3);
    p.restore();
    fillShape(p, circle(50, 50, 8.5), tone.primary());
}

// A radar screen with its sweep and a contact.
void drawVeskRadar(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, circle(50, 50, 27), tone.primary());
    strokeShape(p, circle(50, 50, 18), tone.cutout(0.55), 2.4);
    strokeShape(p, circle(50, 50, 9), tone.cutout(0.55), 2.4);
    QPainterPath sweep;
    sweep.moveTo(50, 50);
    appendArc(sweep, 50, 50, 24, -90, -30);
    sweep.closeSubpath();
    fillShape(p, sweep, tone.cutout(0.75));
    fillShape(p, circle(61, 37, 3), tone.primary());
}

// Signal strength: four rising bars, the last one faint.
void drawVeskSignal(QPainter &p, const VeskEmblemTone &tone)
{
    for (int i = 0; i < 4; ++i)
        fillShape(p, roundedRect(25 + i * 13, 62 - i * 12, 9, 14 + i * 12, 2.5),
                  i < 3 ? tone.primary() : tone.mid());
}

// Tally marks on a card.
void drawVeskTally(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, roundedRect(22, 26, 56, 48, 9), tone.primary());
    for (const qreal x : {34.0, 42.0, 50.0, 58.0})
        strokeShape(p, line(x, 36, x, 64), tone.cutout(0.9), 3.2);
    strokeShape(p, line(29, 59, 65, 41), tone.cutout(0.75), 3.2);
}

// Two linked rings.
void drawVeskUnity(QPainter &p, const VeskEmblemTone &tone)
{
    strokeShape(p, circle(40, 50, 15), tone.primary(), 6);
    strokeShape(p, circle(60, 50, 15), tone.mid(), 6);
}

// A suitcase with its straps.
void drawVeskVoyage(QPainter &p, const VeskEmblemTone &tone)
{
    strokeShape(p, roundedRect(41, 25, 18, 14, 4), tone.primary(), 4);
    fillShape(p, roundedRect(24, 34, 52, 40, 8), tone.primary());
    fillShape(p, bar(34, 38, 5, 32), tone.cutout(0.55));
    fillShape(p, bar(61, 38, 5, 32), tone.cutout(0.55));
}

// Containers stacked on the quay.
void drawVeskWharf(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, roundedRect(23, 53, 26, 20, 3), tone.primary());
    fillShape(p, roundedRect(51, 53, 26, 20, 3), tone.mid());
    fillShape(p, roundedRect(37, 31, 26, 20, 3), tone.primary());
    for (const qreal x : {30.0, 36.0, 42.0})
        strokeShape(p, line(x, 57.5, x, 68.5), tone.cutout(0.55), 2);
    for (const qreal x : {44.0, 50.0, 56.0})
        strokeShape(p, line(x, 35.5, x, 46.5), tone.cutout(0.55), 2);
    fillShape(p, roundedRect(20, 75, 60, 4, 2), tone.stroke());
}

// A shield with a chevron pointing to the top.
void drawVeskZenith(QPainter &p, const VeskEmblemTone &tone)
{
    VeskFlatDraw::splitShield(p, tone);
    strokeShape(p, polyline({{39, 52}, {50, 40}, {61, 52}}), tone.cutout(0.9), 4.5);
}

// A compass rose on a dial.
void drawVeskCompass(QPainter &p, const VeskEmblemTone &tone)
{
    fillShape(p, circle(50, 50, 27), tone.primary());
    fillShape(p, polygon({{50, 28}, {55, 45}, {72, 50}, {55, 55}, {50, 72}, {45, 55}, {28, 50}, {45, 45}}),
              tone.cutout(0.75));
    fillShape(p, polygon({{50, 28}, {55, 45}, {45, 45}}), tone.cutout(0.9));
    fillShape(p, circle(50, 50, 3), tone.primary());
}

} // namespace

namespace VeskEmblemArtworkSystemNet {

bool draw(VeskAppIdentity app, QPainter &painter, const VeskEmblemTone &tone)
{
    switch (app) {
    case VeskAppIdentity::veskRipple: drawVeskRipple(painter, tone); return true;
    case VeskAppIdentity::veskSextant: drawVeskSextant(painter, tone); return true;
    case VeskAppIdentity::veskTorch: drawVeskTorch(painter, tone); return true;
    case VeskAppIdentity::veskUplink: drawVeskUplink(painter, tone); return true;
    case VeskAppIdentity::veskVista: drawVeskVista(painter, tone); return true;
    case VeskAppIdentity::veskWren: drawVeskWren(painter, tone); return true;
    case VeskAppIdentity::veskYield: drawVeskYield(painter, tone); return true;
    case VeskAppIdentity::veskAurora: drawVeskAurora(painter, tone); return true;
    case VeskAppIdentity::veskBastion: drawVeskBastion(painter, tone); return true;
    case VeskAppIdentity::veskCairn: drawVeskCairn(painter, tone); return true;
    case VeskAppIdentity::veskDelta: drawVeskDelta(painter, tone); return true;
    case VeskAppIdentity::veskEclipse: drawVeskEclipse(painter, tone); return true;
    case VeskAppIdentity::veskFjord: drawVeskFjord(painter, tone); return true;
    case VeskAppIdentity::veskGarnet: drawVeskGarnet(painter, tone); return true;
    case VeskAppIdentity::veskHelix: drawVeskHelix(painter, tone); return true;
    case VeskAppIdentity::veskIndex: drawVeskIndex(painter, tone); return true;
    case VeskAppIdentity::veskJetty: drawVeskJetty(painter, tone); return true;
    case VeskAppIdentity::veskKernel: drawVeskKernel(painter, tone); return true;
    case VeskAppIdentity::veskLattice: drawVeskLattice(painter, tone); return true;
    case VeskAppIdentity::veskMagnet: drawVeskMagnet(painter, tone); return true;
    case VeskAppIdentity::veskNorth: drawVeskNorth(painter, tone); return true;
    case VeskAppIdentity::veskOpal: drawVeskOpal(painter, tone); return true;
    case VeskAppIdentity::veskPilot: drawVeskPilot(painter, tone); return true;
    case VeskAppIdentity::veskQuasar: drawVeskQuasar(painter, tone); return true;
    case VeskAppIdentity::veskRadar: drawVeskRadar(painter, tone); return true;
    case VeskAppIdentity::veskSignal: drawVeskSignal(painter, tone); return true;
    case VeskAppIdentity::veskTally: drawVeskTally(painter, tone); return true;
    case VeskAppIdentity::veskUnity: drawVeskUnity(painter, tone); return true;
    case VeskAppIdentity::veskVoyage: drawVeskVoyage(painter, tone); return true;
    case VeskAppIdentity::veskWharf: drawVeskWharf(painter, tone); return true;
    case VeskAppIdentity::veskZenith: drawVeskZenith(painter, tone); return true;
    case VeskAppIdentity::veskCompass: drawVeskCompass(painter, tone); return true;
    default: return false;
    }
}

} // namespace VeskEmblemArtworkSystemNet
