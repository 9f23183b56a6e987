#pragma once

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <atomic>
#include <memory>

namespace koro::test {

// An address on 127.0.0.1 where nothing listens: a connection there is refused at once.
inline QString refusedAddress(const QString& path = QStringLiteral("/")) {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    return QStringLiteral("http://127.0.0.1:%1%2").arg(probe.serverPort()).arg(path);
}

// A one-route HTTP server on 127.0.0.1, on a thread of its own, so that a download blocking the
// thread that asked still gets its answers.
class FeedServer : public QThread {
public:
    struct Reply {
        QByteArray status = "200 OK";
        QByteArray body;
        qint64 announced = -1; // Content-Length; the body's size when negative
        bool announce = true;  // without it the body ends when the connection does
        int chunk = 0;         // bytes sent per pause; 0 sends the body at once
        int pauseMs = 0;
        bool close = true; // ends the connection once the body is out
    };

    explicit FeedServer(Reply reply)
        : m_reply(std::move(reply)) {
        start();
        while (m_port == 0)
            QThread::msleep(5);
    }
    ~FeedServer() override {
        quit();
        wait();
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/ad.txt").arg(m_port); }

protected:
    void run() override {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, [&] {
            QTcpSocket* socket = server.nextPendingConnection();
            auto sent = std::make_shared<qint64>(-1);
            QObject::connect(socket, &QTcpSocket::readyRead, socket, [this, socket, sent] {
                if (*sent >= 0 || !socket->readAll().contains("\r\n\r\n"))
                    return;
                const qint64 length =
                    m_reply.announced < 0 ? m_reply.body.size() : m_reply.announced;
                const QByteArray header =
                    m_reply.announce ? "Content-Length: " + QByteArray::number(length) + "\r\n"
                                     : QByteArray();
                socket->write("HTTP/1.1 " + m_reply.status + "\r\n" + header +
                              "Connection: close\r\n\r\n");
                *sent = 0;
                send(socket, sent);
            });
        });
        m_port = server.serverPort();
        exec();
    }

private:
    void send(QTcpSocket* socket, const std::shared_ptr<qint64>& sent) {
        const QByteArray& body = m_reply.body;
        const qint64 n =
            m_reply.chunk > 0 ? std::min<qint64>(m_reply.chunk, body.size() - *sent) : body.size();
        socket->write(body.constData() + *sent, n);
        *sent += n;
        if (*sent < body.size()) {
            QTimer::singleShot(m_reply.pauseMs, socket,
                               [this, socket, sent] { send(socket, sent); });
            return;
        }
        if (m_reply.close)
            socket->disconnectFromHost();
    }

    Reply m_reply;
    std::atomic<quint16> m_port{0};
};

} // namespace koro::test
