#pragma once

#include "tv/Guide.h"

#include <QDateTime>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QThread>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>

class QNetworkAccessManager;

namespace koro::tv {

class Download;

// The programme guide of the playlist shown. A guide address is downloaded into the cache in the
// user's folder at most once a day (the old copy stays when a download fails); a guide file is
// read where it is. The reading runs on a thread of its own, so a large guide never stalls the
// window.
class GuideSource : public QObject {
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    static constexpr qint64 KeepBeforeSecs = qint64(6) * 3600;
    static constexpr qint64 KeepAfterSecs = qint64(7) * 24 * 3600;
    static constexpr qint64 MaxDownloadBytes = qint64(512) * 1024 * 1024;
    static constexpr int RefreshCheckMs = 3600 * 1000;

    GuideSource(QNetworkAccessManager& network, QString cacheFolder, Clock clock,
                QObject* parent = nullptr);
    ~GuideSource() override;

    // Drops the guide and any load under way; an empty source leaves it at that.
    void load(const QString& source, QSet<QString> channelIds, QSet<QString> channelNames);
    std::shared_ptr<const Guide> guide() const { return m_guide; }
    QString cacheFile(const QString& address) const;

    // A cached guide older than a day is fetched again; runs every hour, callable from tests.
    void refreshIfStale();

signals:
    void loaded(qsizetype programmes);
    void failed(const QString& reason);

private:
    void stopWork();
    void read(const QString& file);
    bool cacheFresh(const QString& file) const;

    QNetworkAccessManager& m_network;
    QString m_cacheFolder;
    Clock m_clock;
    QString m_source;
    QSet<QString> m_ids;
    QSet<QString> m_names;
    std::shared_ptr<const Guide> m_guide;
    QPointer<Download> m_download;
    std::unique_ptr<QThread> m_thread;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    quint64 m_generation = 0;
    QTimer m_refresh;
};

} // namespace koro::tv
