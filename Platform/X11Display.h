#pragma once

// Whether an X11 display (a real X server or XWayland) answers at $DISPLAY.
namespace X11Display {

bool isReachable();

} // namespace X11Display
