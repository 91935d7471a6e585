#include "VeskKit/System/VeskPermissionCenter.h"

#include "X11Display.h"

namespace VeskPermissionCenter {

bool isAccessibilityGranted(bool prompt)
{
    Q_UNUSED(prompt);
    return X11Display::isReachable();
}

bool isScreenRecordingGranted()
{
    return X11Display::isReachable();
}

void openSystemSettings(VeskSystemPermissionKind kind)
{
    Q_UNUSED(kind);
}

} // namespace VeskPermissionCenter
