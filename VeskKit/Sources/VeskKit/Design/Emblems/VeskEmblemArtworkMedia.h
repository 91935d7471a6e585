#pragma once

#include "VeskKit/Design/Emblems/VeskEmblemTone.h"

class QPainter;

// Emblems of the suite's media and reading tools (catalog positions 27 to 42).
// The renderer's dispatch calls them one by one; position 30 it draws itself.
namespace VeskEmblemArtworkMedia {

void drawVeskBloom(QPainter &painter, const VeskEmblemTone &tone);
void drawVeskCipher(QPainter &painter, const VeskEmblemTone &tone);
void drawVeskDrift(QPainter &painter, const VeskEmblemTone &tone);
void drawVeskFable(QPainter &painter, const VeskEmblemTone &tone);
void drawVeskGlyph(QPainter &painter, const VeskEmblemTone &tone);
void drawVeskHaven(QPainter &painter, const VeskEmblemTone &tone);
void drawVeskInkwell(QPainter &painter, const VeskEmblemTone &tone);
void drawVeskJuniper(QPainter &painter, const VeskEmblemTone &tone);
void drawVeskKeel(QPainter &painter, const VeskEmblemTone &tone);
void drawVeskLoom(QPainter &painter, const VeskEmblemTone &tone);
void drawVeskMeridian(QPainter &painter, const VeskEmblemTone &tone);
void drawVeskNexus(QPainter &painter, const VeskEmblemTone &tone);
void drawVeskOnyx(QPainter &painter, const VeskEmblemTone &tone);
void drawVeskPrism(QPainter &painter, const VeskEmblemTone &tone);
void drawVeskQuarry(QPainter &painter, const VeskEmblemTone &tone);

} // namespace VeskEmblemArtworkMedia
