#pragma once

#include <QString>

// The running application's desktop id, the name the freedesktop services
// know it by (its .desktop file, its autostart entry, its instance socket):
// the desktop file name the application set, else the reversed organization
// domain followed by the application name ("com.quarnell.VeskZul"), else
// "com.quarnell." followed by the application name. Characters a desktop id
// cannot hold become "-".
QString veskDesktopApplicationId();
