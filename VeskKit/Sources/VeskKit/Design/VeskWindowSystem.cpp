#include "VeskKit/Design/VeskWindowSystem.h"

#include <QGuiApplication>

namespace VeskWindowSystem {

bool isNativeWayland()
{
    // "wayland", "wayland-egl" and the like.
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

bool isWaylandSession(const EnvironmentLookup &environment)
{
    return environment("XDG_SESSION_TYPE") == "wayland" || !environment("WAYLAND_DISPLAY").isEmpty();
}

} // namespace VeskWindowSystem
