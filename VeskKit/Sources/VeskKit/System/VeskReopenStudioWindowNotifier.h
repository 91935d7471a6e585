#pragma once

#include <QObject>

// Asks whoever owns the studio window to open it: posted when the user
// reopens the application (a second launch, the tray icon) and no window is
// visible, and by the studio view model itself when it has no window opener
// yet. One process-wide instance; the signal carries nothing.
class VeskReopenStudioWindowNotifier : public QObject
{
    Q_OBJECT

public:
    // The notification's name among the suite's notifications.
    static constexpr const char* notificationName = "com.quarnell.reopenStudioWindow";

    static VeskReopenStudioWindowNotifier* shared();

    // Emits veskReopenStudioWindow() once. Receivers on the posting thread run
    // before this returns; others get it queued on their own thread.
    static void post();

signals:
    void veskReopenStudioWindow();

private:
    VeskReopenStudioWindowNotifier() = default;
};
