#pragma once

// Whether the application starts when the user logs in. On Linux this is the
// application's freedesktop autostart entry,
// $XDG_CONFIG_HOME/autostart/<desktop id>.desktop, which starts the running
// executable: by its name when it is the one PATH finds (an installed
// program), else by its full path (a build folder's).
namespace VeskLaunchAtLogin {

// True exactly when the entry exists and is neither marked Hidden nor
// switched off for GNOME (X-GNOME-Autostart-enabled=false).
bool isEnabled();

// True when the change took: the entry was written (atomically) or is gone.
// A failure is only reported through the result.
bool setEnabled(bool enabled);

} // namespace VeskLaunchAtLogin
