#include "VeskKit/System/VeskSingleInstance.h"

#include <QDir>
#include <QElapsedTimer>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QStandardPaths>

namespace {

const QByteArray reopenRequest = QByteArrayLiteral("reopen\n");
const QByteArray acknowledgement = QByteArrayLiteral("ok\n");
// A request is one short line; anything longer is not ours.
constexpr qint64 maxRequestBytes = 64;

} // namespace

VeskSingleInstance::VeskSingleInstance(const QString& applicationId, QObject* parent)
    : QObject(parent)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    m_socketPath = folder + u'/' + applicationId + QStringLiteral(".instance");
}

VeskSingleInstance::~VeskSingleInstance()
{
    if (m_server)
        m_server->close();
}

VeskSingleInstance::Role VeskSingleInstance::claim(int timeoutMs)
{
    if (m_server)
        return Role::primary;

    QElapsedTimer clock;
    clock.start();
    const auto left = [&] { return int(qMax<qint64>(100, timeoutMs - clock.elapsed())); };

    QLockFile lock(m_socketPath + QStringLiteral(".lock"));
    if (!lock.tryLock(timeoutMs))
        return Role::failed;

    for (;;) {
        QLocalSocket socket;
        socket.connectToServer(m_socketPath);
        if (!socket.waitForConnected(left()))
            break;
        socket.write(reopenRequest);
        socket.flush();
        QByteArray reply;
        while (!reply.contains('\n') && socket.waitForReadyRead(left()))
            reply += socket.readAll();
        if (reply == acknowledgement)
            return Role::handedOver;
        // A copy on its way out has stopped answering and lets go of the
        // socket: this launch takes over once it has. A copy that holds on
        // without a word is not ours to replace.
        if (socket.state() != QLocalSocket::UnconnectedState || clock.elapsed() >= timeoutMs)
            return Role::failed;
    }

    // Nobody answers: whatever is left at the path is the socket of a copy
    // that ended without cleaning up.
    QLocalServer::removeServer(m_socketPath);
    auto* server = new QLocalServer(this);
    server->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server->listen(m_socketPath)) {
        delete server;
        return Role::failed;
    }
    m_server = server;
    connect(server, &QLocalServer::newConnection, this, &VeskSingleInstance::acceptConnections);
    return Role::primary;
}

void VeskSingleInstance::release()
{
    if (m_server) {
        m_server->close();
        delete m_server.data();
    }
}

bool VeskSingleInstance::requestReopen(const QString& applicationId, int timeoutMs)
{
    if (applicationId.isEmpty() || applicationId.contains(u'/'))
        return false;
    QLocalSocket socket;
    socket.connectToServer(VeskSingleInstance(applicationId).socketPath());
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(reopenRequest);
    // The copy may run on this very thread, so its acknowledgement cannot be
    // awaited here; the request is complete once written.
    while (socket.bytesToWrite() > 0)
        if (!socket.waitForBytesWritten(timeoutMs))
            return false;
    socket.disconnectFromServer();
    return true;
}

void VeskSingleInstance::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > maxRequestBytes)
                    socket->abort();
                return;
            }
            const QByteArray line = socket->readLine(maxRequestBytes);
            if (line != reopenRequest) {
                socket->abort();
                return;
            }
            socket->write(acknowledgement);
            socket->flush();
            socket->disconnectFromServer();
            emit reopenRequested();
        });
    }
}
