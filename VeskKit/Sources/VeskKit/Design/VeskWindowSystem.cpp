#include "VeskKit/Design/VeskWindowSystem.h"

#include <QGuiApplication>

namespace VeskWindowSystem {

bool isNativeWayland()
{
    // "wayland", "wayland-egl" and the like.
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

} // namespace VeskWindowSystem
