#pragma once

#include <QMap>
#include <QObject>
#include <QStringList>
#include <QTcpServer>
#include <QTcpSocket>

namespace koro::test {

// Answers GET requests on 127.0.0.1 with fixed pages and remembers which paths were asked for.
class PageServer : public QObject {
public:
    PageServer() {
        m_server.listen(QHostAddress::LocalHost);
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            }
        });
    }

    void add(const QString& path, const QString& html) {
        m_replies[path] =
            reply("200 OK", "Content-Type: text/html; charset=utf-8\r\n", html.toUtf8());
    }
    void addRedirect(const QString& path, const QString& to) {
        m_replies[path] = reply("302 Found", "Location: " + to.toUtf8() + "\r\n", {});
    }
    // Never answered: the load stays pending.
    void addHanging(const QString& path) { m_hanging << path; }

    QString url(const QString& path) const {
        return QStringLiteral("http://127.0.0.1:%1%2").arg(m_server.serverPort()).arg(path);
    }
    quint16 port() const { return m_server.serverPort(); }
    int requestsFor(const QString& path) const { return m_requested.count(path); }
    // Hanging requests the client gave up on.
    int abandoned() const { return m_abandoned; }

private:
    static QByteArray reply(const QByteArray& status, const QByteArray& headers,
                            const QByteArray& body) {
        return "HTTP/1.1 " + status + "\r\n" + headers +
               "Connection: close\r\nContent-Length: " + QByteArray::number(body.size()) +
               "\r\n\r\n" + body;
    }

    void serve(QTcpSocket* socket) {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        if (!buffer.contains("\r\n\r\n"))
            return;
        const QString path = QString::fromLatin1(buffer.split(' ').value(1));
        m_buffers.remove(socket);
        m_requested << path;
        if (m_hanging.contains(path)) {
            connect(socket, &QTcpSocket::disconnected, this, [this] { ++m_abandoned; });
            return;
        }
        socket->write(m_replies.value(path, reply("404 Not Found", {}, "not here")));
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QMap<QString, QByteArray> m_replies;
    QStringList m_hanging;
    QMap<QTcpSocket*, QByteArray> m_buffers;
    QStringList m_requested;
    int m_abandoned = 0;
};

} // namespace koro::test
