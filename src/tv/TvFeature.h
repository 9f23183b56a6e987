#pragma once

#include "tv/Playlist.h"

#include <QDateTime>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <QWebChannel>

#include <functional>
#include <memory>

class QMenu;
class QWidget;

namespace koro {
class BrowserControl;
}

namespace koro::tv {

class ChannelBridge;
class Download;
class GuideReminders;
class GuideSource;
class RecentPlaylists;

// What the TV feature needs of the main window.
struct TvHooks {
    // The reminder bubble with its alarm; watch runs when the user wants the channel.
    std::function<void(const QString& text, std::function<void()> watch)> remind;
    std::function<void()> toggleCompact;
    // A balloon at the tray icon.
    std::function<void(const QString& title, const QString& text)> notice;
    // Dialogs open in front of it.
    QPointer<QWidget> dialogParent;
    std::function<QDateTime()> clock;
};

// Network TV: opens M3U playlists into the channel page in the page area, loads their guide,
// keeps the playlists opened before and the reminders set from the guide, and fills the
// "电视频道" menu.
class TvFeature : public QObject {
    Q_OBJECT
public:
    static const QUrl ChannelPage;
    static constexpr qint64 MaxPlaylistBytes = qint64(64) * 1024 * 1024;

    // userFolder: where the recent playlists, the reminders and the guide cache are kept.
    TvFeature(BrowserControl& pageArea, QMenu& menu, const QString& userFolder, TvHooks hooks,
              QObject* parent = nullptr);
    ~TvFeature() override;

    // A file path or an http(s) address; preferredChannel, when in the list, plays first.
    void open(const QString& source, const QString& preferredChannel = QString());
    void openFileDialog();
    void openAddressDialog();
    void chooseGuide();
    void showGuide();

    ChannelBridge& bridge() const { return *m_bridge; }
    GuideReminders& reminders() const { return *m_reminders; }
    RecentPlaylists& recent() const { return *m_recent; }
    GuideSource& guideSource() const { return *m_guide; }

signals:
    void playlistOpened(const QString& source, int channels);
    void playlistFailed(const QString& source, const QString& reason);
    void guideLoaded(qsizetype programmes);

private:
    void show(const QString& source, const QByteArray& bytes, const QString& preferredChannel);
    void fail(const QString& source, const QString& reason);
    void loadGuide();
    void remindNow(const QString& playlist, const QString& channelUrl, const QString& text);
    void fillMenu();
    bool ownPageShown() const;

    BrowserControl& m_pageArea;
    QPointer<QMenu> m_menu; // the menu bar may go first
    TvHooks m_hooks;
    QNetworkAccessManager m_network;
    std::unique_ptr<RecentPlaylists> m_recent;
    GuideReminders* m_reminders;
    GuideSource* m_guide;
    ChannelBridge* m_bridge;
    QWebChannel m_channel;
    QPointer<Download> m_download;
    bool m_guideOnLoad = false;
};

// A short title for a playlist's source: its file name, or the address's last part.
QString playlistTitle(const QString& source);

} // namespace koro::tv
