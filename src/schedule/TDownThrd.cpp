#include "schedule/TDownThrd.h"

#include <QEventLoop>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QSaveFile>
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

bool TDownThrd::DownloadToFile(const QString& url, const QString& fileName) {
    // The body goes to a temporary file beside the target, renamed over it only at the end.
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;

    QNetworkAccessManager client;
    client.setTransferTimeout(InactivityTimeoutMs);
    QNetworkRequest request{QUrl(url)};
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::ManualRedirectPolicy);
    const std::unique_ptr<QNetworkReply> owner(client.get(request));
    QNetworkReply* reply = owner.get();

    QEventLoop loop;
    bool writeFailed = false;
    QObject::connect(reply, &QIODevice::readyRead, &loop, [&] {
        const QByteArray chunk = reply->readAll();
        if (file.write(chunk) != chunk.size() && !writeFailed) {
            writeFailed = true;
            reply->abort();
        }
    });
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    // abort() from the owner exits every event loop of this thread, this one included.
    if (!reply->isFinished() && !QThread::currentThread()->isInterruptionRequested())
        loop.exec();

    if (!reply->isFinished()) {
        reply->abort();
        file.cancelWriting();
    } else {
        const QByteArray rest = reply->readAll();
        if (file.write(rest) != rest.size())
            writeFailed = true;
    }
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const bool complete = reply->isFinished() && reply->error() == QNetworkReply::NoError &&
                          status >= 200 && status < 300 && !writeFailed;
    if (!complete) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace koro
