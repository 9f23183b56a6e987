#include "tv/TvFeature.h"

#include "config/RegularFile.h"
#include "tv/ChannelBridge.h"
#include "tv/Download.h"
#include "tv/GuideReminders.h"
#include "tv/GuideSource.h"
#include "tv/RecentPlaylists.h"
#include "webengine/BrowserControl.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMenu>

// Q_INIT_RESOURCE declares functions at global scope, so it must not be used inside a namespace.
static void initTvQrc() {
    Q_INIT_RESOURCE(tv);
    Q_INIT_RESOURCE(hls);
}

namespace koro::tv {

namespace {

const QString NoticeTitle = QStringLiteral("电视频道");

// Menus take '&' for a shortcut mark; a playlist's text is shown as it is.
QString menuText(const QString& text) {
    QString plain = text.left(60);
    return plain.replace(u'&', QLatin1String("&&"));
}

// Submenus belong to the menu as children, not as actions: clear() alone would keep them.
void clearMenu(QMenu& menu) {
    menu.clear();
    qDeleteAll(menu.findChildren<QMenu*>(Qt::FindDirectChildrenOnly));
}

QString clockText(qint64 secs) {
    return QDateTime::fromSecsSinceEpoch(secs).toString(QStringLiteral("MM-dd HH:mm"));
}

QSet<QString> lowerNames(const Playlist& playlist) {
    QSet<QString> names;
    for (const PlaylistEntry& e : playlist.entries) {
        if (!e.tvgName.isEmpty())
            names.insert(e.tvgName.toLower());
        names.insert(e.name.toLower());
    }
    return names;
}

} // namespace

const QUrl TvFeature::ChannelPage(QStringLiteral("koro://tv/channels.html"));

QString playlistTitle(const QString& source) {
    if (isWebAddress(source)) {
        const QUrl url(source);
        const QString file = url.fileName();
        return file.isEmpty() ? url.host() : url.host() + QLatin1Char('/') + file;
    }
    return QFileInfo(source).fileName();
}

TvFeature::TvFeature(BrowserControl& pageArea, QMenu& menu, const QString& userFolder,
                     TvHooks hooks, QObject* parent)
    : QObject(parent)
    , m_pageArea(pageArea)
    , m_menu(&menu)
    , m_hooks(std::move(hooks))
    , m_recent(std::make_unique<RecentPlaylists>(userFolder + QStringLiteral("/playlists.json"))) {
    initTvQrc();
    if (!m_hooks.clock)
        m_hooks.clock = [] { return QDateTime::currentDateTime(); };
    m_reminders =
        new GuideReminders(userFolder + QStringLiteral("/reminders.json"), m_hooks.clock, this);
    m_guide =
        new GuideSource(m_network, userFolder + QStringLiteral("/guides"), m_hooks.clock, this);
    m_bridge = new ChannelBridge(
        m_network, *m_reminders,
        {[this] { return ownPageShown(); }, m_hooks.toggleCompact, m_hooks.clock}, this);
    m_channel.registerObject(QStringLiteral("koro"), m_bridge);
    m_pageArea.setOwnPageChannel(&m_channel, ChannelPage);

    connect(m_bridge, &ChannelBridge::channelWatched, this,
            [this](const QString& url) { m_recent->setLastChannel(m_bridge->source(), url); });
    connect(m_guide, &GuideSource::loaded, this, [this](qsizetype programmes) {
        m_bridge->setGuide(m_guide->guide());
        emit guideLoaded(programmes);
    });
    connect(m_guide, &GuideSource::failed, this, [this](const QString& reason) {
        if (m_hooks.notice)
            m_hooks.notice(NoticeTitle, QStringLiteral("节目指南无法载入：") + reason);
    });
    connect(m_reminders, &GuideReminders::due, this, [this](const GuideReminders::Reminder& r) {
        const QString text =
            QStringLiteral("提示：") + r.channelName + QStringLiteral("-") + r.title +
            QStringLiteral("<") +
            QDateTime::fromSecsSinceEpoch(r.start).toString(QStringLiteral("HH:mm")) +
            QStringLiteral(">开始了，是否观看？");
        remindNow(r.playlist, r.channelUrl, text);
    });
    // The page takes the keys at once, also when it was loaded by the reminder or the menu.
    connect(&m_pageArea, &BrowserControl::documentComplete, this, [this] {
        if (ownPageShown())
            m_pageArea.setFocus();
    });
    connect(m_menu, &QMenu::aboutToShow, this, &TvFeature::fillMenu);
    // Queued: the action that caused the change may still be running.
    const auto refreshMenu = [this] {
        QMetaObject::invokeMethod(this, &TvFeature::fillMenu, Qt::QueuedConnection);
    };
    connect(m_bridge, &ChannelBridge::playlistChanged, this, refreshMenu);
    connect(m_reminders, &GuideReminders::changed, this, refreshMenu);
    fillMenu();
}

TvFeature::~TvFeature() {
    // Its items call this object.
    if (m_menu)
        clearMenu(*m_menu);
}

bool TvFeature::ownPageShown() const {
    constexpr auto bare = QUrl::RemoveQuery | QUrl::RemoveFragment;
    return QUrl(m_pageArea.locationURL()).adjusted(bare) == ChannelPage.adjusted(bare);
}

void TvFeature::open(const QString& source, const QString& preferredChannel) {
    if (m_download)
        m_download->abort();
    if (!isWebAddress(source)) {
        const QString path =
            source.startsWith(QLatin1String("file:")) ? QUrl(source).toLocalFile() : source;
        const std::optional<QByteArray> bytes = readRegularFile(path, MaxPlaylistBytes + 1);
        if (!bytes)
            fail(source, QStringLiteral("无法读取文件"));
        else if (bytes->size() > MaxPlaylistBytes)
            fail(source, QStringLiteral("文件太大"));
        else
            show(source, *bytes, preferredChannel);
        return;
    }
    m_download = Download::start(m_network, QUrl(source), MaxPlaylistBytes, QString(), this);
    connect(
        m_download, &Download::finished, this,
        [this, source, preferredChannel](bool ok, const QByteArray& body, const QString& error) {
            if (ok)
                show(source, body, preferredChannel);
            else
                fail(source, error);
        });
}

void TvFeature::fail(const QString& source, const QString& reason) {
    if (m_hooks.notice)
        m_hooks.notice(NoticeTitle, QStringLiteral("播放列表无法打开：") + reason + QChar(13) +
                                        playlistTitle(source));
    emit playlistFailed(source, reason);
}

void TvFeature::show(const QString& source, const QByteArray& bytes,
                     const QString& preferredChannel) {
    Playlist playlist = readPlaylist(bytes);
    if (playlist.entries.isEmpty()) {
        fail(source, QStringLiteral("其中没有频道"));
        return;
    }
    m_recent->opened(source);
    const RecentPlaylists::Item* remembered = m_recent->find(source);
    const int count = int(playlist.entries.size());
    int start = channelIndex(playlist, preferredChannel);
    if (start < 0 && remembered)
        start = channelIndex(playlist, remembered->lastChannel);
    for (int i = 0; start < 0 && i < count; ++i)
        if (playlist.entries[i].playable)
            start = i;
    m_bridge->setPlaylist(source, playlistTitle(source), std::move(playlist), std::max(start, 0));
    loadGuide();
    if (ownPageShown() && !m_guideOnLoad) {
        m_pageArea.setFocus();
    } else {
        QUrl page = ChannelPage;
        if (m_guideOnLoad)
            page.setFragment(QStringLiteral("guide"));
        m_guideOnLoad = false;
        m_pageArea.navigate(page.toString());
        m_pageArea.setFocus();
    }
    emit playlistOpened(source, count);
}

void TvFeature::loadGuide() {
    const Playlist& playlist = m_bridge->current();
    const RecentPlaylists::Item* item = m_recent->find(m_bridge->source());
    const QString source = item && !item->guide.isEmpty() ? item->guide : playlist.guideUrl;
    QSet<QString> ids;
    for (const PlaylistEntry& e : playlist.entries)
        if (!e.tvgId.isEmpty())
            ids.insert(e.tvgId);
    m_guide->load(source, ids, lowerNames(playlist));
}

void TvFeature::remindNow(const QString& playlist, const QString& channelUrl, const QString& text) {
    if (!m_hooks.remind)
        return;
    QPointer<TvFeature> self(this);
    m_hooks.remind(text, [self, playlist, channelUrl] {
        if (!self)
            return;
        const int index = self->m_bridge->indexOf(channelUrl);
        if (self->m_bridge->source() == playlist && index >= 0 && self->ownPageShown())
            self->m_bridge->select(index);
        else
            self->open(playlist, channelUrl);
    });
}

void TvFeature::openFileDialog() {
    const QString file = QFileDialog::getOpenFileName(
        m_hooks.dialogParent, QStringLiteral("打开播放列表文件"), QString(),
        QStringLiteral("播放列表 (*.m3u *.m3u8);;所有文件 (*)"));
    if (!file.isEmpty())
        open(file);
}

void TvFeature::openAddressDialog() {
    bool ok = false;
    const QString address =
        QInputDialog::getText(m_hooks.dialogParent, QStringLiteral("打开网络播放列表"),
                              QStringLiteral("播放列表的网址 (http:// 或 https://)："),
                              QLineEdit::Normal, QString(), &ok)
            .trimmed();
    if (!ok || address.isEmpty())
        return;
    if (!isWebAddress(address)) {
        fail(address, QStringLiteral("这不是 http 或 https 网址"));
        return;
    }
    open(address);
}

void TvFeature::chooseGuide() {
    const QString source = m_bridge->source();
    if (source.isEmpty())
        return;
    const RecentPlaylists::Item* item = m_recent->find(source);
    bool ok = false;
    const QString guide =
        QInputDialog::getText(
            m_hooks.dialogParent, QStringLiteral("节目指南"),
            QStringLiteral("节目指南的网址或文件(XMLTV，可为 .gz)；留空则用播放列表自带的："),
            QLineEdit::Normal, item ? item->guide : QString(), &ok)
            .trimmed();
    if (!ok)
        return;
    m_recent->setGuide(source, guide);
    loadGuide();
}

void TvFeature::showGuide() {
    if (m_bridge->source().isEmpty())
        return;
    if (ownPageShown()) {
        m_bridge->showGuide();
        m_pageArea.setFocus();
        return;
    }
    m_guideOnLoad = true;
    open(m_bridge->source());
}

void TvFeature::fillMenu() {
    if (!m_menu)
        return;
    clearMenu(*m_menu);
    QMenu& menu = *m_menu;
    const auto add = [](QMenu* into, const QString& text, const char* name, auto slot) {
        QAction* action = into->addAction(text);
        action->setObjectName(QString::fromLatin1(name));
        QObject::connect(action, &QAction::triggered, action, slot);
        return action;
    };
    add(&menu, QStringLiteral("打开播放列表文件..."), "TvOpenFile", [this] { openFileDialog(); });
    add(&menu, QStringLiteral("打开网络播放列表..."), "TvOpenAddress",
        [this] { openAddressDialog(); });
    const bool playlistOpen = !m_bridge->source().isEmpty();
    add(&menu, QStringLiteral("节目指南"), "TvGuide", [this] {
        showGuide();
    })->setEnabled(playlistOpen);
    add(&menu, QStringLiteral("节目指南来源..."), "TvGuideSource", [this] {
        chooseGuide();
    })->setEnabled(playlistOpen);

    menu.addSection(QStringLiteral("最近的播放列表"));
    if (m_recent->items().isEmpty())
        menu.addAction(QStringLiteral("(没有)"))->setEnabled(false);
    for (const RecentPlaylists::Item& item : m_recent->items()) {
        QMenu* sub = menu.addMenu(menuText(playlistTitle(item.source)));
        const QString source = item.source;
        add(sub, QStringLiteral("打开"), "TvRecentOpen", [this, source] { open(source); });
        add(sub, QStringLiteral("删除"), "TvRecentRemove", [this, source] {
            m_recent->remove(source);
            QMetaObject::invokeMethod(this, &TvFeature::fillMenu, Qt::QueuedConnection);
        });
    }

    menu.addSection(QStringLiteral("提醒"));
    if (m_reminders->reminders().isEmpty())
        menu.addAction(QStringLiteral("(没有)"))->setEnabled(false);
    for (const GuideReminders::Reminder& r : m_reminders->reminders()) {
        QMenu* sub = menu.addMenu(menuText(clockText(r.start) + QLatin1Char(' ') + r.channelName +
                                           QStringLiteral(" - ") + r.title));
        add(sub, QStringLiteral("取消提醒"), "TvReminderCancel",
            [this, url = r.channelUrl, start = r.start] { m_reminders->cancel(url, start); });
    }
}

} // namespace koro::tv
