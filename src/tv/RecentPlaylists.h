#pragma once

#include <QList>
#include <QString>

namespace koro::tv {

// The playlists opened before, newest first, with what belongs to each: the channel last
// watched and a guide the user chose for it.
class RecentPlaylists {
public:
    struct Item {
        QString source;      // a file path or an http(s) address
        QString lastChannel; // address of the channel last watched
        QString guide;       // the user's guide address or file; empty: the playlist's own
    };

    static constexpr int MaxItems = 10;

    explicit RecentPlaylists(QString path);

    const QList<Item>& items() const { return m_items; }
    const Item* find(const QString& source) const;

    // Moves it to the front, adding it when new.
    void opened(const QString& source);
    void remove(const QString& source);
    void setLastChannel(const QString& source, const QString& channelUrl);
    void setGuide(const QString& source, const QString& guide);

private:
    Item* findItem(const QString& source);
    void save() const;

    QString m_path;
    QList<Item> m_items;
};

} // namespace koro::tv
