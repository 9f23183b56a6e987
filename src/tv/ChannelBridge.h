#pragma once

#include "tv/Guide.h"
#include "tv/Playlist.h"

#include <QObject>
#include <QPointer>
#include <QVariant>

#include <functional>
#include <memory>

class QNetworkAccessManager;

namespace koro::tv {

class GuideReminders;

// What the channel page may ask of the program, over the web channel: the playlist, the guide,
// a reminder, the compact view, and why a channel failed. Nothing else. Calls are answered only
// while the page area shows the program's own channel page; any other page gets nothing.
class ChannelBridge : public QObject {
    Q_OBJECT
public:
    struct Hooks {
        std::function<bool()> ownPageShown;
        std::function<void()> toggleCompact;
        std::function<QDateTime()> clock;
    };

    ChannelBridge(QNetworkAccessManager& network, GuideReminders& reminders, Hooks hooks,
                  QObject* parent = nullptr);

    void setPlaylist(const QString& source, const QString& title, Playlist playlist,
                     int startIndex);
    void setGuide(std::shared_ptr<const Guide> guide);
    const Playlist& current() const { return m_playlist; }
    const QString& source() const { return m_source; }
    int indexOf(const QString& channelUrl) const;
    // Asks the page to play this channel / to show the guide grid.
    void select(int index) { emit selectRequested(index); }
    void showGuide() { emit guideRequested(); }

    // The page's calls.
    Q_INVOKABLE QVariantMap playlist() const;
    Q_INVOKABLE QVariantList nowNext() const;
    Q_INVOKABLE QVariantList guide(double from, double to) const;
    Q_INVOKABLE QString remind(int index, double start);
    Q_INVOKABLE void watched(int index);
    Q_INVOKABLE void playing(int index);
    Q_INVOKABLE void failed(int index, const QString& reason);
    Q_INVOKABLE void shown(int channels);
    Q_INVOKABLE void guideShown(int channels);
    Q_INVOKABLE void toggleCompact();
    Q_INVOKABLE void explain(int index);

signals:
    // To the page; none of them carries text of the playlist.
    void playlistChanged();
    void guideChanged();
    void remindersChanged();
    void selectRequested(int index);
    void guideRequested();
    void explained(int index, const QString& reason);

    // To the program.
    void channelWatched(const QString& channelUrl);
    void channelPlaying(int index);
    void channelFailed(int index, const QString& reason);
    void channelsShown(int channels);
    // The page shows now and next under this many channels.
    void nowNextShown(int channels);

private:
    bool allowed() const;
    const PlaylistEntry* entry(int index) const;
    QString guideChannel(const PlaylistEntry& entry) const;

    QNetworkAccessManager& m_network;
    GuideReminders& m_reminders;
    Hooks m_hooks;
    QString m_source;
    QString m_title;
    Playlist m_playlist;
    int m_startIndex = 0;
    std::shared_ptr<const Guide> m_guide;
};

} // namespace koro::tv
