#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QLocalServer;
class QLocalSocket;

// Keeps one running copy of the application per user. The first launch
// listens on a local socket in the user's runtime folder; a later launch
// reaches it, hands over a reopen request and exits, so the running copy
// shows its window instead of a second copy writing the same files.
class VeskSingleInstance : public QObject
{
    Q_OBJECT
public:
    enum class Role {
        // This process is the running copy and now listens for later launches.
        primary,
        // A running copy took the reopen request; this process should exit 0.
        handedOver,
        // A copy answers at the socket but did not take the request, or the
        // socket could not be opened; no single-instance guarantee holds.
        failed,
    };

    // applicationId names the socket: "<runtime folder>/<id>.instance".
    explicit VeskSingleInstance(const QString& applicationId, QObject* parent = nullptr);
    ~VeskSingleInstance() override;

    // Decides this process's role. Launches that race each other are
    // serialised by a lock file beside the socket.
    Role claim(int timeoutMs = 3000);

    QString socketPath() const { return m_socketPath; }

    // The primary copy stops listening (it is ending): a later launch then
    // becomes the primary copy itself rather than handing over to this one.
    void release();

    // Hands a reopen request to the running copy of the application with that
    // id without becoming an instance of it. True once the request has been
    // written to its socket; the copy acts on it when its event loop runs.
    static bool requestReopen(const QString& applicationId, int timeoutMs);

signals:
    // In the primary copy: a later launch asked for the application.
    void reopenRequested();

private:
    void acceptConnections();

    QString m_socketPath;
    QPointer<QLocalServer> m_server;
};
