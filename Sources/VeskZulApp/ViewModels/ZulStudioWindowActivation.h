#pragma once

#include <QMetaObject>
#include <QObject>

#include <functional>

// The application-level side of bringing the studio window back: the
// in-process "reopen the studio window" request, and raising the
// application and its studio window in front of others.
class ZulStudioWindowActivation
{
public:
    virtual ~ZulStudioWindowActivation() = default;

    // Tells every observer that the studio window should be opened again.
    virtual void postReopenStudioWindow() = 0;
    // Runs `handler` on `receiver`'s thread, after the request was posted,
    // for as long as `receiver` exists.
    virtual QMetaObject::Connection observeReopenStudioWindow(QObject *receiver,
                                                              std::function<void()> handler) = 0;
    virtual void activateIgnoringOtherApps() = 0;
    virtual void bringStudioWindowToFront() = 0;
};
