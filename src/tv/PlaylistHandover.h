#pragma once

#include <QLocalServer>
#include <QObject>
#include <QString>
#include <QStringList>

#include <optional>

namespace koro::tv {

// The playlist named on the command line, made absolute against currentDir when it is a file:
// the last argument that is no option. A copy handing it over runs in another folder.
std::optional<QString> playlistArgument(const QStringList& arguments, const QString& currentDir);

// Where the running copy of this user listens for playlists: in folder, named after the user.
QString handoverSocketPath(const QString& folder);

// Gives the playlist to the copy that listens at socketPath; true once it confirmed. A socket
// that is not the user's own is never spoken to.
bool handOverPlaylist(const QString& socketPath, const QString& playlist, int timeoutMs = 5000);

// Receives playlists from copies started later.
class PlaylistReceiver : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 MaxMessageBytes = qint64(64) * 1024;

    explicit PlaylistReceiver(const QString& socketPath, QObject* parent = nullptr);
    bool listening() const { return m_server.isListening(); }

signals:
    void received(const QString& playlist);

private:
    void accept();

    QLocalServer m_server;
};

} // namespace koro::tv
