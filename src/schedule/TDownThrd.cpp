#include "schedule/TDownThrd.h"

#include "config/ReplacingFile.h"
#include "schedule/AdFeed.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTimer>
#include <QUrl>

#include <memory>

namespace koro {

TDownThrd::TDownThrd(QString url, QString fileName)
    : m_url(std::move(url))
    , m_fileName(std::move(fileName)) {
    setObjectName("TDownThrd");
    connect(this, &QThread::finished, this, &QObject::deleteLater);
}

void TDownThrd::abort() {
    requestInterruption();
    quit();
}

void TDownThrd::run() {
    emit downloaded(DownloadToFile(m_url, m_fileName));
}

bool TDownThrd::DownloadToFile(const QString& url, const QString& fileName, int totalTimeoutMs) {
    // The body goes to a temporary file beside the target, renamed over it only at the end.
    ReplacingFile file(fileName);
    if (!file.open())
        return false;

    QNetworkAccessManager client;
    client.setTransferTimeout(InactivityTimeoutMs);
    QNetworkRequest request{QUrl(url)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    const std::unique_ptr<QNetworkReply> owner(client.get(request));
    QNetworkReply* reply = owner.get();

    QEventLoop loop;
    bool failed = false;
    qint64 received = 0;
    const auto fail = [&] {
        if (!failed) {
            failed = true;
            reply->abort();
        }
    };
    const auto take = [&] {
        const QByteArray chunk = reply->read(MaxFeedBytes + 1 - received);
        received += chunk.size();
        if (received > MaxFeedBytes || !file.write(chunk))
            fail();
    };
    QObject::connect(reply, &QNetworkReply::metaDataChanged, &loop, [&] {
        // A feed announced as too long is not worth waiting for.
        if (reply->header(QNetworkRequest::ContentLengthHeader).toLongLong() > MaxFeedBytes)
            fail();
    });
    QObject::connect(reply, &QIODevice::readyRead, &loop, take);
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // The inactivity time-out alone would let a server that trickles a byte now and then keep
    // the download open for the whole run.
    QTimer deadline;
    deadline.setSingleShot(true);
    QObject::connect(&deadline, &QTimer::timeout, &loop, fail);
    deadline.start(totalTimeoutMs);
    // abort() from the owner exits every event loop of this thread, this one included.
    if (!reply->isFinished() && !QThread::currentThread()->isInterruptionRequested())
        loop.exec();

    if (!reply->isFinished()) {
        reply->abort();
        failed = true;
    } else if (!failed) {
        take();
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    // An empty reply is no feed: it would wipe the ads the last one left.
    const bool complete = !failed && reply->error() == QNetworkReply::NoError && status >= 200 &&
                          status < 300 && received > 0;
    // Without commit the temporary file goes with the object.
    return complete && file.commit();
}

} // namespace koro
