#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <memory>

struct ReceivedRequest {
    QByteArray head; // request line and headers
    QByteArray body;

    QByteArray header(const QByteArray &name) const
    {
        for (const QByteArray &line : head.split('\n')) {
            const qsizetype colon = line.indexOf(':');
            if (colon > 0 && line.left(colon).trimmed().toLower() == name.toLower())
                return line.mid(colon + 1).trimmed();
        }
        return {};
    }
};

// A one-shot HTTP/1.1 server on 127.0.0.1: reads each request whole (head and
// body by Content-Length), keeps it and answers with the status and body set.
class FeedbackServer
{
public:
    FeedbackServer()
    {
        QObject::connect(&m_server, &QTcpServer::newConnection, &m_server, [this] { acceptAll(); });
    }

    bool listen() { return m_server.listen(QHostAddress::LocalHost, 0); }
    QString baseURL() const { return QStringLiteral("http://127.0.0.1:%1").arg(m_server.serverPort()); }

    int status = 200;
    QByteArray body;
    QByteArray extraHeaders; // whole lines, each ending in CRLF
    bool declareLength = true; // else the connection's end ends the body
    bool trickle = false; // a byte every 100 ms
    QList<ReceivedRequest> requests;
    QByteArray received; // every byte that arrived, on any connection

private:
    void acceptAll()
    {
        while (QTcpSocket *socket = m_server.nextPendingConnection()) {
            auto received = std::make_shared<QByteArray>();
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, received] {
                const QByteArray bytes = socket->readAll();
                this->received += bytes;
                received->append(bytes);
                const qsizetype end = received->indexOf("\r\n\r\n");
                if (end < 0)
                    return;
                ReceivedRequest request{received->left(end), {}};
                const qsizetype length = request.header("Content-Length").toLongLong();
                if (received->size() < end + 4 + length)
                    return;
                request.body = received->mid(end + 4, length);
                requests.append(request);
                received->clear();
                QByteArray reply = "HTTP/1.1 " + QByteArray::number(status) + " Status\r\n";
                reply += "Content-Type: application/json\r\nConnection: close\r\n" + extraHeaders;
                reply += (declareLength ? "Content-Length: " + QByteArray::number(body.size()) : "") + "\r\n\r\n" + body;
                if (trickle) {
                    auto *timer = new QTimer(socket);
                    QObject::connect(timer, &QTimer::timeout, socket,
                                     [socket, reply, sent = 0]() mutable { socket->write(reply.mid(sent++, 1)); });
                    timer->start(100);
                    return;
                }
                socket->write(reply);
                socket->disconnectFromHost();
            });
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        }
    }

    QTcpServer m_server;
};
