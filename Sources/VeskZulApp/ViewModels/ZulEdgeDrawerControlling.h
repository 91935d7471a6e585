#pragma once

#include "Models/ZulEdgeSide.h"

// What the view model needs of the screen-edge drawer: its pull handle and
// its sliding panel. The controller keeps the view model's isEdgeDrawerOpen
// in step when it opens, closes or hides the drawer itself.
class ZulEdgeDrawerControlling
{
public:
    virtual ~ZulEdgeDrawerControlling() = default;

    virtual bool isDrawerOpen() const = 0;
    virtual void openDrawer() = 0;
    // Does nothing while the drawer is closed.
    virtual void closeDrawer() = 0;
    // Shows the handle on the given edge; an open drawer moves there too.
    virtual void syncEdgePlacement(ZulEdgeSide side) = 0;
    // Closes and hides everything; the controller stays usable.
    virtual void hideAll() = 0;
};
