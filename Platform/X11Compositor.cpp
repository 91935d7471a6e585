#include "X11Compositor.h"

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string>

namespace {

struct FreeDeleter
{
    void operator()(void* p) const { std::free(p); }
};

} // namespace

namespace X11Compositor {

bool isActive()
{
    int screenNumber = 0;
    xcb_connection_t* connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    // A compositing manager owns the selection named for the screen it composites.
    const std::string name = "_NET_WM_CM_S" + std::to_string(screenNumber);
    std::unique_ptr<xcb_intern_atom_reply_t, FreeDeleter> atom(xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 1, uint16_t(name.size()), name.c_str()), nullptr));
    bool active = false;
    if (atom && atom->atom != XCB_ATOM_NONE) {
        std::unique_ptr<xcb_get_selection_owner_reply_t, FreeDeleter> owner(xcb_get_selection_owner_reply(
            connection, xcb_get_selection_owner(connection, atom->atom), nullptr));
        active = owner && owner->owner != XCB_WINDOW_NONE;
    }
    xcb_disconnect(connection);
    return active;
}

} // namespace X11Compositor
