#include "X11Display.h"

#include <xcb/xcb.h>

namespace X11Display {

bool isReachable()
{
    xcb_connection_t* connection = xcb_connect(nullptr, nullptr);
    const bool reachable = xcb_connection_has_error(connection) == 0;
    xcb_disconnect(connection);
    return reachable;
}

} // namespace X11Display
