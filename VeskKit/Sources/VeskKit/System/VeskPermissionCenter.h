#pragma once

#include "VeskKit/System/VeskSystemPermissionKind.h"

// Privacy permission checks. X11 has no per-application trust: every client
// of the display may watch and send input and read the screen, so both
// answers are "granted" exactly when an X11 display is reachable, and false
// without one (a Wayland session without XWayland offers neither to an
// ordinary client). No check ever prompts.
namespace VeskPermissionCenter {

// prompt is accepted for the callers' sake; there is no dialog to show.
bool isAccessibilityGranted(bool prompt);
bool isScreenRecordingGranted();

// Linux desktops have no settings page for these permissions, so this opens
// nothing.
void openSystemSettings(VeskSystemPermissionKind kind);

} // namespace VeskPermissionCenter
