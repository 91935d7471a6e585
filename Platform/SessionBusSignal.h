#pragma once

#include <QObject>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

class QDBusMessage;

// Process-wide notifications between the user's applications as D-Bus signals
// on the session bus. A dotted notification name splits at its last dot into
// the signal's interface and member ("com.quarnell.suite.telemetryUpdated" is
// member telemetryUpdated of interface com.quarnell.suite), sent from the
// object path /com/quarnell/suite. A notification with an object carries it
// as its one string argument; one without has no arguments.
namespace SessionBusSignal {

inline constexpr const char *objectPath = "/com/quarnell/suite";

// Whether the name splits into a valid D-Bus interface and member.
bool isValidName(const QString &name);

// Sends the signal. False when the name is not valid or no session bus can be
// reached.
bool post(const QString &name, const std::optional<QString> &object);

// Receives the signal from any sender until the returned object is destroyed.
// `handler` runs on the application's main thread with the signal's first
// argument when that is a string, else with nothing. With an invalid name or
// no session bus the returned object never calls it.
std::unique_ptr<QObject> observe(const QString &name, std::function<void(std::optional<QString>)> handler);

} // namespace SessionBusSignal

// The receiving end of one observe() registration.
class SessionBusSignalObserver : public QObject
{
    Q_OBJECT
public:
    SessionBusSignalObserver(const QString &name, std::function<void(std::optional<QString>)> handler);
    ~SessionBusSignalObserver() override;

    bool isConnected() const { return m_connected; }

private slots:
    void deliver(const QDBusMessage &message);

private:
    QString m_interface;
    QString m_member;
    std::function<void(std::optional<QString>)> m_handler;
    bool m_connected = false;
};
