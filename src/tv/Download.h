#pragma once

#include <QByteArray>
#include <QFile>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <memory>

class QNetworkAccessManager;
class QNetworkReply;

namespace koro::tv {

// One download of an http(s) address, into memory or over a file, capped in size, given up
// after a silence. A file is replaced only by a complete 2xx answer, in one step but without
// waiting for the disk: it is a cache, and a large one synced on this thread would stall it.
// Deletes itself when done.
class Download : public QObject {
    Q_OBJECT
public:
    static constexpr int SilenceMs = 15000;
    // What the network may hold unread: a fast server would otherwise hand the UI thread tens
    // of megabytes to copy and write in one go.
    static constexpr qint64 ReadBufferBytes = qint64{512} * 1024;

    // toFile empty: the body is kept in memory and handed to finished().
    static Download* start(QNetworkAccessManager& network, const QUrl& url, qint64 maxBytes,
                           const QString& toFile, QObject* parent);
    ~Download() override;

    void abort();

signals:
    // error is a short Chinese reason when !ok.
    void finished(bool ok, const QByteArray& body, const QString& error);

private:
    Download(QNetworkReply* reply, qint64 maxBytes, const QString& toFile, QObject* parent);
    void readSome();
    void done();
    void fail(const QString& error);

    QPointer<QNetworkReply> m_reply;
    qint64 m_maxBytes;
    qint64 m_received = 0;
    QString m_target;
    std::unique_ptr<QFile> m_file; // beside the target until complete
    QByteArray m_body;
    bool m_failed = false;
};

// A Chinese reason for a failed request, for the user.
QString failureReason(int httpStatus, int networkError);

} // namespace koro::tv
