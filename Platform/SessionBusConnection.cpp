#include "SessionBusConnection.h"

#include <QDBusConnection>

namespace SessionBusConnection {

std::shared_future<void> connectAside()
{
    // Qt keeps the connection for the process once made, whichever thread
    // asked; a caller meanwhile waits for it rather than making a second.
    return std::async(std::launch::async, [] { QDBusConnection::sessionBus(); }).share();
}

} // namespace SessionBusConnection
