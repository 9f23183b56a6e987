#include "tv/PlaylistHandover.h"

#include "tv/Playlist.h"

#include <QDir>
#include <QFileInfo>
#include <QLocalSocket>
#include <QTimer>
#include <QUrl>

#include <unistd.h>

namespace koro::tv {

std::optional<QString> playlistArgument(const QStringList& arguments, const QString& currentDir) {
    for (qsizetype i = arguments.size() - 1; i >= 1; --i) {
        const QString& argument = arguments[i];
        if (argument.isEmpty() || argument.startsWith(u'-'))
            continue;
        if (isWebAddress(argument))
            return argument;
        if (argument.startsWith(QLatin1String("file:")))
            return QUrl(argument).toLocalFile();
        return QDir::cleanPath(QDir(currentDir).absoluteFilePath(argument));
    }
    return std::nullopt;
}

QString handoverSocketPath(const QString& folder) {
    return folder + QStringLiteral("/koro-tv-%1.sock").arg(::getuid());
}

bool handOverPlaylist(const QString& socketPath, const QString& playlist, int timeoutMs) {
    const QFileInfo info(socketPath);
    if (!info.exists() || info.ownerId() != ::getuid())
        return false;
    QLocalSocket socket;
    socket.connectToServer(socketPath);
    if (!socket.waitForConnected(timeoutMs))
        return false;
    socket.write(playlist.toUtf8() + '\n');
    if (!socket.waitForBytesWritten(timeoutMs))
        return false;
    while (!socket.canReadLine()) {
        if (!socket.waitForReadyRead(timeoutMs))
            return false;
    }
    return socket.readLine().trimmed() == "ok";
}

PlaylistReceiver::PlaylistReceiver(const QString& socketPath, QObject* parent)
    : QObject(parent) {
    // Only the copy holding the single-instance mark gets here, so a socket left there is a
    // dead copy's.
    QLocalServer::removeServer(socketPath);
    m_server.setSocketOptions(QLocalServer::UserAccessOption);
    if (!m_server.listen(socketPath))
        return;
    connect(&m_server, &QLocalServer::newConnection, this, &PlaylistReceiver::accept);
}

void PlaylistReceiver::accept() {
    while (QLocalSocket* socket = m_server.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A copy that never finishes its line is not waited for.
        QTimer::singleShot(10000, socket, [socket] { socket->disconnectFromServer(); });
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > MaxMessageBytes)
                    socket->disconnectFromServer();
                return;
            }
            const QString playlist = QString::fromUtf8(socket->readLine(MaxMessageBytes)).trimmed();
            socket->write("ok\n");
            socket->flush();
            socket->disconnectFromServer();
            if (!playlist.isEmpty())
                emit received(playlist);
        });
    }
}

} // namespace koro::tv
