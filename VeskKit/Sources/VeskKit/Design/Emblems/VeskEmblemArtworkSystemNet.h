#pragma once

#include "VeskKit/Design/Emblems/VeskAppIdentity.h"
#include "VeskKit/Design/Emblems/VeskEmblemTone.h"

class QPainter;

// Emblems of the suite's system and network tools (catalog positions 43 to 74).
namespace VeskEmblemArtworkSystemNet {

// Draws the emblem when `app` belongs to this group and returns true;
// otherwise draws nothing and returns false.
bool draw(VeskAppIdentity app, QPainter &painter, const VeskEmblemTone &tone);

} // namespace VeskEmblemArtworkSystemNet
