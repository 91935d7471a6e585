#pragma once

#include <QUuid>

// What the view model needs of the floating sticky panels: one panel per
// note shown as a sticky. A panel closed by the user is reported back through
// ZulStudioViewModel::closeFloatingSticky, a moved or resized one through
// ZulStudioViewModel::updateStickyFrame.
class ZulStickyControlling
{
public:
    virtual ~ZulStickyControlling() = default;

    // Raises the note's panel, or opens one; a note the view model does not
    // know is ignored.
    virtual void showSticky(const QUuid &noteID) = 0;
    // A note without a panel is ignored.
    virtual void closeSticky(const QUuid &noteID) = 0;
};
