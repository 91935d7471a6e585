#pragma once

#include "VeskKit/Utilities/VeskBundle.h"

#include <QObject>

// The application's answers to launch and reopen. At launch it writes the
// launch line to the runtime log and, a moment later, brings the first
// window forward. A reopen (a second launch handing over, or the tray icon)
// raises a visible window, or else asks for the studio window through
// VeskReopenStudioWindowNotifier. Lives on the GUI thread.
class VeskAppActivationDelegate : public QObject
{
    Q_OBJECT
public:
    // bundle supplies the application's name and version for the launch line.
    explicit VeskAppActivationDelegate(QObject* parent = nullptr);
    explicit VeskAppActivationDelegate(VeskBundle bundle, QObject* parent = nullptr);

    // Call once the application object exists and the event loop is about
    // to run.
    void applicationDidFinishLaunching();

    // Handles a reopen; true in every case.
    bool applicationShouldHandleReopen(bool hasVisibleWindows);

    // A reopen whose visible windows are looked up here: the tray icon's
    // activation and a later launch (VeskSingleInstance::reopenRequested)
    // come in through this.
    void handleReopenRequest();

    // Restores and raises the first window in the application's window list
    // that can be a main window: a visible top-level window, not a panel
    // (a tool window or a VeskPanelWindow), dialog, popup or window refusing focus. Does nothing
    // when there is none. The window manager may still decline to move focus.
    static void bringStudioWindowToFront();

    // Whether a main window is visible and not minimised.
    static bool hasVisibleWindows();

    // The name the launch line uses: the bundle's "CFBundleDisplayName", else
    // its "CFBundleName" (each only when it is text), else the process name.
    static QString applicationName(const VeskBundle& bundle);

    // "<name> v<version> (<build>) launched (<operating system>)".
    static QString launchMessage(const QString& name, const QString& shortVersion, const QString& buildNumber,
                                 const QString& operatingSystem);

private:
    VeskBundle m_bundle;
};
