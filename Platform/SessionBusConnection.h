#pragma once

#include <future>

// The session bus reached ahead of its first use. Where no bus address is in
// the environment, connecting means asking the display for a bus, or having
// one started, which takes tens of milliseconds; Qt's accessibility bridge
// connects the first time a widget asks whether a screen reader listens,
// which falls in the building of the first window. Connected beforehand on a
// thread of its own, that later connection is a look-up of the one made.
namespace SessionBusConnection {

// Needs the application object. The connection is Qt's shared one, as
// QDBusConnection::sessionBus() returns it; the future tells when it is
// made (or found unreachable).
std::shared_future<void> connectAside();

} // namespace SessionBusConnection
