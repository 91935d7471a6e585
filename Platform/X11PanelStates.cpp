#include "X11PanelStates.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct FreeDeleter
{
    void operator()(void* p) const { std::free(p); }
};
template <typename T>
using XcbReply = std::unique_ptr<T, FreeDeleter>;

// _NET_WM_DESKTOP's value for "every desktop".
constexpr uint32_t kAllDesktops = 0xFFFFFFFF;
// _NET_ACTIVE_WINDOW's source indication of a pager or taskbar.
constexpr uint32_t kSourcePager = 2;

std::vector<xcb_atom_t> internAtoms(xcb_connection_t* connection, std::initializer_list<const char*> names)
{
    std::vector<xcb_intern_atom_cookie_t> cookies;
    for (const char* name : names)
        cookies.push_back(xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name));
    std::vector<xcb_atom_t> atoms;
    for (const xcb_intern_atom_cookie_t& cookie : cookies) {
        XcbReply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(connection, cookie, nullptr));
        atoms.push_back(reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE));
    }
    return atoms;
}

xcb_window_t rootOf(xcb_connection_t* connection, xcb_window_t window)
{
    XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, window), nullptr));
    return geometry ? geometry->root : xcb_window_t(XCB_WINDOW_NONE);
}

} // namespace

namespace X11PanelStates {

void askBeforeMap(xcb_connection_t* connection, uint32_t window)
{
    if (!connection || !window)
        return;
    const std::vector<xcb_atom_t> atoms = internAtoms(
        connection, {"_NET_WM_STATE", "_NET_WM_DESKTOP", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER",
                     "_KDE_NET_WM_STATE_SKIP_SWITCHER", "_NET_WM_STATE_STICKY"});
    const xcb_atom_t state = atoms[0];
    const xcb_atom_t desktop = atoms[1];
    if (state == XCB_ATOM_NONE || desktop == XCB_ATOM_NONE)
        return;

    // Qt merges its own states (above, modal, ...) into what it finds here
    // when it maps the window, so what is already asked for stays.
    std::vector<xcb_atom_t> states;
    XcbReply<xcb_get_property_reply_t> current(xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, state, XCB_ATOM_ATOM, 0, 1024), nullptr));
    if (current && current->format == 32 && current->type == XCB_ATOM_ATOM) {
        const auto* values = static_cast<const xcb_atom_t*>(xcb_get_property_value(current.get()));
        states.assign(values, values + xcb_get_property_value_length(current.get()) / sizeof(xcb_atom_t));
    }
    for (auto wanted = atoms.begin() + 2; wanted != atoms.end(); ++wanted) {
        if (*wanted != XCB_ATOM_NONE && std::find(states.begin(), states.end(), *wanted) == states.end())
            states.push_back(*wanted);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, state, XCB_ATOM_ATOM, 32, uint32_t(states.size()),
                        states.data());
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, desktop, XCB_ATOM_CARDINAL, 32, 1, &kAllDesktops);
    xcb_flush(connection);
}

void requestUserActivation(xcb_connection_t* connection, uint32_t window)
{
    if (!connection || !window)
        return;
    const xcb_atom_t active = internAtoms(connection, {"_NET_ACTIVE_WINDOW"}).front();
    const xcb_window_t root = rootOf(connection, window);
    if (active == XCB_ATOM_NONE || root == XCB_WINDOW_NONE)
        return;
    xcb_client_message_event_t message;
    std::memset(&message, 0, sizeof message);
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = active;
    // Source, time (none: "now"), the window active at the request (none).
    message.data.data32[0] = kSourcePager;
    message.data.data32[1] = XCB_CURRENT_TIME;
    message.data.data32[2] = XCB_WINDOW_NONE;
    xcb_send_event(connection, 0, root, XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char*>(&message));
    xcb_flush(connection);
}

} // namespace X11PanelStates
