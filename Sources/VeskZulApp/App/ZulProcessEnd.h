#pragma once

class QCoreApplication;

// How the process ends once the user has quit. When the application object
// has gone, every window, the tray icon and the clipboard have been handed
// back and the last save is on disk; Qt would then go on to wait for its
// pooled threads, among them a host-name lookup that nothing can cancel
// (offline, a resolver that never answers holds it for its full timeouts),
// and the quit would linger for seconds. The process ends there instead.
namespace ZulProcessEnd {

// Ends the process with `status` (read at that moment) as soon as
// `application` is destroyed; call before any host-name lookup starts.
void atApplicationEnd(QCoreApplication &application, const int &status);

} // namespace ZulProcessEnd
