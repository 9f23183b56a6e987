#include "tv/ChannelBridge.h"

#include "tv/Download.h"
#include "tv/GuideReminders.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>

namespace koro::tv {

namespace {

constexpr int ProbeMs = 6000;

QVariantMap programmeMap(const Programme& p) {
    return {
        {"t", p.title}, {"s", QVariant::fromValue(p.start)}, {"e", QVariant::fromValue(p.stop)}};
}

} // namespace

ChannelBridge::ChannelBridge(QNetworkAccessManager& network, GuideReminders& reminders, Hooks hooks,
                             QObject* parent)
    : QObject(parent)
    , m_network(network)
    , m_reminders(reminders)
    , m_hooks(std::move(hooks)) {
    connect(&m_reminders, &GuideReminders::changed, this, &ChannelBridge::remindersChanged);
}

void ChannelBridge::setPlaylist(const QString& source, const QString& title, Playlist playlist,
                                int startIndex) {
    m_source = source;
    m_title = title;
    m_playlist = std::move(playlist);
    m_startIndex = startIndex;
    m_guide.reset();
    emit playlistChanged();
}

void ChannelBridge::setGuide(std::shared_ptr<const Guide> guide) {
    m_guide = std::move(guide);
    emit guideChanged();
}

bool ChannelBridge::allowed() const {
    return m_hooks.ownPageShown && m_hooks.ownPageShown();
}

const PlaylistEntry* ChannelBridge::entry(int index) const {
    return index >= 0 && index < m_playlist.entries.size() ? &m_playlist.entries[index] : nullptr;
}

int ChannelBridge::indexOf(const QString& channelUrl) const {
    return channelIndex(m_playlist, channelUrl);
}

QString ChannelBridge::guideChannel(const PlaylistEntry& e) const {
    return m_guide ? m_guide->channelFor(e.tvgId, e.tvgName, e.name) : QString();
}

QVariantMap ChannelBridge::playlist() const {
    if (!allowed())
        return {};
    QVariantList channels;
    channels.reserve(m_playlist.entries.size());
    for (const PlaylistEntry& e : m_playlist.entries) {
        QVariantMap c{{"name", e.name}, {"group", e.group}, {"logo", e.logo}};
        // Only web addresses ever reach the page's player.
        if (e.playable)
            c.insert("url", e.url);
        channels.append(c);
    }
    return {{"title", m_title}, {"start", m_startIndex}, {"channels", channels}};
}

QVariantList ChannelBridge::nowNext() const {
    if (!allowed() || !m_guide)
        return {};
    const qint64 now = m_hooks.clock().toSecsSinceEpoch();
    QVariantList result;
    for (qsizetype i = 0; i < m_playlist.entries.size(); ++i) {
        const QString channel = guideChannel(m_playlist.entries[i]);
        if (channel.isEmpty())
            continue;
        const auto [current, next] = m_guide->nowNext(channel, now);
        if (!current && !next)
            continue;
        QVariantMap item{{"i", int(i)}};
        if (current)
            item.insert("now", programmeMap(*current));
        if (next)
            item.insert("next", programmeMap(*next));
        result.append(item);
    }
    return result;
}

QVariantList ChannelBridge::guide(double from, double to) const {
    if (!allowed() || !m_guide)
        return {};
    QVariantList result;
    for (qsizetype i = 0; i < m_playlist.entries.size(); ++i) {
        const PlaylistEntry& e = m_playlist.entries[i];
        const auto it = m_guide->programmes.constFind(guideChannel(e));
        if (!e.playable || it == m_guide->programmes.constEnd())
            continue;
        QVariantList programmes;
        for (const Programme& p : *it) {
            if (p.stop <= from || p.start >= to)
                continue;
            QVariantMap map = programmeMap(p);
            map.insert("d", p.description);
            map.insert("r", m_reminders.has(e.url, p.start));
            programmes.append(map);
        }
        if (!programmes.isEmpty())
            result.append(QVariantMap{{"i", int(i)}, {"p", programmes}});
    }
    return result;
}

QString ChannelBridge::remind(int index, double start) {
    if (!allowed())
        return QStringLiteral("不允许");
    const PlaylistEntry* e = entry(index);
    if (!e || !e->playable || !m_guide)
        return QStringLiteral("无法为这个频道设置提醒");
    const auto it = m_guide->programmes.constFind(guideChannel(*e));
    if (it == m_guide->programmes.constEnd())
        return QStringLiteral("节目指南中没有这个节目");
    for (const Programme& p : *it) {
        if (p.start != qint64(start))
            continue;
        if (p.start <= m_hooks.clock().toSecsSinceEpoch())
            return QStringLiteral("节目已经开始，不能设置提醒");
        if (m_reminders.has(e->url, p.start))
            return QStringLiteral("已经设置了提醒");
        m_reminders.add({m_source, e->url, e->name, p.title, p.start, p.stop});
        return QString();
    }
    return QStringLiteral("节目指南中没有这个节目");
}

void ChannelBridge::watched(int index) {
    if (const PlaylistEntry* e = entry(index); e && e->playable && allowed())
        emit channelWatched(e->url);
}

void ChannelBridge::playing(int index) {
    if (allowed())
        emit channelPlaying(index);
}

void ChannelBridge::failed(int index, const QString& reason) {
    if (allowed())
        emit channelFailed(index, reason.left(200));
}

void ChannelBridge::shown(int channels) {
    if (allowed())
        emit channelsShown(channels);
}

void ChannelBridge::guideShown(int channels) {
    if (allowed())
        emit nowNextShown(channels);
}

void ChannelBridge::toggleCompact() {
    if (allowed() && m_hooks.toggleCompact)
        m_hooks.toggleCompact();
}

void ChannelBridge::explain(int index) {
    const PlaylistEntry* e = entry(index);
    if (!allowed() || !e || !e->playable)
        return;
    // A few bytes tell whether the address answers at all.
    QNetworkRequest request{QUrl(e->url)};
    request.setTransferTimeout(ProbeMs);
    request.setRawHeader("Range", "bytes=0-1023");
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = m_network.get(request);
    reply->setParent(this);
    connect(reply, &QNetworkReply::readyRead, reply, [reply] {
        if (reply->bytesAvailable() > 1024)
            reply->abort(); // enough seen: it answers
    });
    connect(reply, &QNetworkReply::finished, this, [this, reply, index] {
        reply->deleteLater();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        QString reason = failureReason(status, status ? 0 : reply->error());
        if (reason.isEmpty())
            reason = QStringLiteral("格式不受支持，或服务器不允许网页播放");
        emit explained(index, reason);
    });
}

} // namespace koro::tv
