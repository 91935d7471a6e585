#pragma once

#include <QByteArray>

#include <functional>

// What the window system under the application lets it do with its own
// windows.
namespace VeskWindowSystem {

// Qt's native Wayland platform: a client can neither place its windows nor
// keep them above others, and the positions Qt reports for them are only
// the ones it asked for, not where the compositor put them.
bool isNativeWayland();

using EnvironmentLookup = std::function<QByteArray(const char *name)>;

// The desktop session is a Wayland one (XDG_SESSION_TYPE=wayland or
// WAYLAND_DISPLAY set), whatever platform the application runs on: through
// XWayland it sees the pointer only while the pointer is over an X11 window.
bool isWaylandSession(const EnvironmentLookup &environment = qgetenv);

} // namespace VeskWindowSystem
