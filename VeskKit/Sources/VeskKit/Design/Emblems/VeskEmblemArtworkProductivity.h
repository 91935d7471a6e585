#pragma once

#include "VeskKit/Design/Emblems/VeskEmblemTone.h"
#include "VeskKit/Design/Emblems/VeskAppIdentity.h"

class QPainter;

// Emblems of the suite's productivity tools (catalog positions 0 to 26).
namespace VeskEmblemArtworkProductivity {

// Draws the emblem when `app` belongs to this group and returns true;
// otherwise draws nothing and returns false.
bool draw(VeskAppIdentity app, QPainter &painter, const VeskEmblemTone &tone);

} // namespace VeskEmblemArtworkProductivity
