#include "VeskKit/System/VeskLaunchAtLogin.h"

#include "VeskKit/System/VeskDesktopApplicationId.h"

#include "XdgAutostart.h"

#include <QCoreApplication>

namespace VeskLaunchAtLogin {

bool isEnabled()
{
    return XdgAutostart::isEnabled(veskDesktopApplicationId());
}

bool setEnabled(bool enabled)
{
    const QString id = veskDesktopApplicationId();
    if (!enabled)
        return XdgAutostart::disable(id);
    const QString program = QCoreApplication::applicationFilePath();
    if (program.isEmpty())
        return false;
    return XdgAutostart::enable(id, QCoreApplication::applicationName(), XdgAutostart::launchCommand(program));
}

} // namespace VeskLaunchAtLogin
