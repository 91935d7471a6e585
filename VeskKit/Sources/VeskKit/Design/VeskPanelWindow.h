#pragma once

#include <Qt>

class QWidget;
class QWindow;

// A floating panel (a sticky note, an edge drawer and its handle, a popover):
// a frameless top-level window kept above the others that stays shown while
// another application is active, follows the user to every virtual desktop
// and stays out of the taskbar, the pager and the window switcher.
//
// It is an ordinary window to the window manager, not a utility window: Qt
// makes every tool window transient for the application's hidden leader
// window, and KWin by default hides such utility windows whenever another
// application is active. An ordinary window kept above is kept shown and
// above by every common window manager (KWin, mutter, openbox, xfwm4); the
// skip-taskbar, skip-pager and skip-switcher states keep it out of the
// taskbar and Alt+Tab, and the sticky state with the all-desktops desktop
// puts it on every desktop.
namespace VeskPanelWindow {

// The window flags of a panel, to which a panel may add hints of its own
// (Qt::WindowDoesNotAcceptFocus, Qt::NoDropShadowWindowHint).
inline constexpr Qt::WindowFlags flags = Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint;

// Makes the top-level `window` a panel: asks the window manager for the
// states above each time before it maps the window, and marks it so that
// the application never takes it for its main window. Call before the first
// show; the window's flags stay the caller's.
void makePanel(QWidget *window);

// True for a window made a panel by makePanel().
bool isPanel(const QWindow *window);

// Activates the panel as a request of the user's (who clicked or pressed the
// key that opened it), which the window manager's focus-stealing prevention
// lets through although the application is not the active one.
void activate(QWidget *window);

} // namespace VeskPanelWindow
