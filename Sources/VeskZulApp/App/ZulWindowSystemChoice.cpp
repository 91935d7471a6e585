#include "App/ZulWindowSystemChoice.h"

#include "VeskKit/Design/VeskWindowSystem.h"

namespace ZulWindowSystemChoice {

Choice choose(const QStringList &arguments, const EnvironmentLookup &environment,
              const std::function<bool()> &xServerAnswers)
{
    if (!environment("QT_QPA_PLATFORM").isEmpty())
        return {};
    for (const QString &argument : arguments.mid(1)) {
        if (argument == QLatin1String("-platform") || argument == QLatin1String("--platform")
            || argument.startsWith(QLatin1String("-platform=")) || argument.startsWith(QLatin1String("--platform=")))
            return {};
    }
    if (!VeskWindowSystem::isWaylandSession(environment) || !xServerAnswers || !xServerAnswers())
        return {};
    return {QByteArrayLiteral("xcb"),
            QStringLiteral("Wayland session with an X server at DISPLAY=%1: running on it (xcb), where the drawer "
                           "and the stickies can be placed and kept above and the hotkeys reach X11 windows; "
                           "QT_QPA_PLATFORM=wayland runs natively instead")
                .arg(QString::fromLocal8Bit(environment("DISPLAY")))};
}

} // namespace ZulWindowSystemChoice
