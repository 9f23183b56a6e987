#include "tv/GuideSource.h"

#include "tv/Download.h"
#include "tv/GuideReader.h"
#include "tv/Playlist.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>

namespace koro::tv {

namespace {
constexpr qint64 DaySecs = qint64(24) * 3600;
constexpr qint64 ChunkBytes = qint64(256) * 1024;
} // namespace

GuideSource::GuideSource(QNetworkAccessManager& network, QString cacheFolder, Clock clock,
                         QObject* parent)
    : QObject(parent)
    , m_network(network)
    , m_cacheFolder(std::move(cacheFolder))
    , m_clock(clock ? std::move(clock) : [] { return QDateTime::currentDateTime(); }) {
    m_refresh.setInterval(RefreshCheckMs);
    connect(&m_refresh, &QTimer::timeout, this, &GuideSource::refreshIfStale);
    m_refresh.start();
}

GuideSource::~GuideSource() {
    stopWork();
}

QString GuideSource::cacheFile(const QString& address) const {
    const QByteArray hash =
        QCryptographicHash::hash(address.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return m_cacheFolder + QStringLiteral("/guide-") + QString::fromLatin1(hash) +
           QStringLiteral(".xmltv");
}

bool GuideSource::cacheFresh(const QString& file) const {
    const QFileInfo info(file);
    return info.isFile() && info.lastModified().secsTo(m_clock()) < DaySecs;
}

void GuideSource::stopWork() {
    ++m_generation;
    if (m_download)
        m_download->abort();
    if (m_cancel)
        m_cancel->store(true);
    if (m_thread) {
        m_thread->wait();
        m_thread.reset();
    }
}

void GuideSource::load(const QString& source, QSet<QString> channelIds,
                       QSet<QString> channelNames) {
    stopWork();
    m_source = source.trimmed();
    m_ids = std::move(channelIds);
    m_names = std::move(channelNames);
    m_guide.reset();
    if (m_source.isEmpty())
        return;
    if (!isWebAddress(m_source)) {
        const QString file =
            m_source.startsWith(QLatin1String("file:")) ? QUrl(m_source).toLocalFile() : m_source;
        read(file);
        return;
    }
    const QString cache = cacheFile(m_source);
    if (cacheFresh(cache)) {
        read(cache);
        return;
    }
    const quint64 generation = m_generation;
    m_download = Download::start(m_network, QUrl(m_source), MaxDownloadBytes, cache, this);
    connect(m_download, &Download::finished, this,
            [this, generation, cache](bool ok, const QByteArray&, const QString& error) {
                if (generation != m_generation)
                    return;
                if (ok || QFileInfo(cache).isFile()) // an old copy beats none
                    read(cache);
                else
                    emit failed(error);
            });
}

void GuideSource::refreshIfStale() {
    if (isWebAddress(m_source) && !m_download && !cacheFresh(cacheFile(m_source))) {
        load(m_source, m_ids, m_names);
    }
}

void GuideSource::read(const QString& file) {
    const quint64 generation = m_generation;
    auto cancel = std::make_shared<std::atomic<bool>>(false);
    m_cancel = cancel;
    const qint64 now = m_clock().toSecsSinceEpoch();
    GuideSource* self = this; // waits for the thread before it goes
    m_thread.reset(
        QThread::create([self, generation, cancel, file, now, ids = m_ids, names = m_names] {
            GuideReader reader(now - KeepBeforeSecs, now + KeepAfterSecs, ids, names);
            QFile in(file);
            bool opened = QFileInfo(file).isFile() && in.open(QIODevice::ReadOnly);
            while (opened && !cancel->load()) {
                const QByteArray chunk = in.read(ChunkBytes);
                if (chunk.isEmpty() || !reader.addData(chunk))
                    break;
            }
            if (cancel->load())
                return;
            auto guide = std::make_shared<const Guide>(reader.finish());
            // Dropped unless delivered while the source is still there.
            QMetaObject::invokeMethod(
                self,
                [self, generation, guide, opened] {
                    if (generation != self->m_generation)
                        return;
                    if (!opened) {
                        emit self->failed(QStringLiteral("无法读取节目指南"));
                        return;
                    }
                    self->m_guide = guide;
                    emit self->loaded(guide->programmeCount());
                },
                Qt::QueuedConnection);
        }));
    m_thread->start(QThread::LowPriority);
}

} // namespace koro::tv
