#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

namespace koro::tv {

// One entry of an M3U playlist. Every text is the playlist's own and untrusted.
struct PlaylistEntry {
    QString name;
    QString url;
    QString group;
    QString logo; // empty unless an http(s) address
    QString tvgId;
    QString tvgName;
    bool playable = false; // an http(s) address with a host
};

struct Playlist {
    QString guideUrl; // from x-tvg-url / url-tvg of the header, the first one given
    QList<PlaylistEntry> entries;
};

// Reads an M3U or extended M3U playlist: UTF-8 (with or without byte order mark), else the
// code page; any line ending. Broken lines are skipped, never fatal.
Playlist readPlaylist(const QByteArray& bytes);

// Only these are handed to the page's player; anything else would reach another program or
// the local disk.
bool isWebAddress(const QString& text);

// Where the playable entry with this address is in the list; -1 when nowhere.
int channelIndex(const Playlist& playlist, const QString& url);

// The value of an attribute key="value" in an #EXTINF or #EXTM3U line; empty when absent.
QString extinfAttribute(const QString& line, const QString& key);

} // namespace koro::tv
