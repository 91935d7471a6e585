#pragma once

// Whether a compositing manager runs on the X display at $DISPLAY. Without
// one the X server has nothing to blend a window's transparent pixels with,
// and they show black.
namespace X11Compositor {

// False when no X display answers or nobody holds the display's
// compositing-manager selection.
bool isActive();

} // namespace X11Compositor
