#pragma once

#include <cstdint>

struct xcb_connection_t;

// What a floating panel (a sticky, the edge drawer and its handle, the tray
// popover) asks of the X11 window manager beyond what Qt asks: to stay out of
// taskbars, pagers and window switchers, and to be on every virtual desktop.
// A window manager reads these states when it maps a window and forgets them
// when the window is withdrawn, so they are asked again before every map.
namespace X11PanelStates {

// On a window not mapped yet: adds the skip-taskbar, skip-pager,
// skip-switcher and sticky states to those already asked for, and puts it
// on every desktop. Sent on `connection`, the one that will map the window,
// so the window manager sees them before the map.
void askBeforeMap(xcb_connection_t* connection, uint32_t window);

// Asks the window manager to activate `window` on the user's behalf, as a
// pager or a taskbar does. For a panel opened by the user's own click or
// hotkey: the X server time the application last saw may be older than the
// user's last action in another program, and focus-stealing prevention would
// then refuse an ordinary request.
void requestUserActivation(xcb_connection_t* connection, uint32_t window);

} // namespace X11PanelStates
