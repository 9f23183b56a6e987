#include "webengine/OwnPages.h"

#include <QBuffer>
#include <QFile>
#include <QMimeDatabase>
#include <QNetworkReply>
#include <QWebEngineUrlRequestJob>
#include <QWebEngineUrlScheme>

namespace koro {

namespace {

const QString RelayFolder = QStringLiteral("/relay/");

QByteArray mimeType(const QString& path) {
    if (path.endsWith(QLatin1String(".js")))
        return "text/javascript";
    return QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension).name().toUtf8();
}

QWebEngineUrlRequestJob::Error jobError(int httpStatus) {
    if (httpStatus == 404 || httpStatus == 410)
        return QWebEngineUrlRequestJob::UrlNotFound;
    if (httpStatus == 401 || httpStatus == 403)
        return QWebEngineUrlRequestJob::RequestDenied;
    return QWebEngineUrlRequestJob::RequestFailed;
}

} // namespace

void OwnPages::registerScheme() {
    QWebEngineUrlScheme scheme(Scheme);
    scheme.setSyntax(QWebEngineUrlScheme::Syntax::Host);
    scheme.setFlags(QWebEngineUrlScheme::SecureScheme | QWebEngineUrlScheme::LocalScheme |
                    QWebEngineUrlScheme::LocalAccessAllowed);
    QWebEngineUrlScheme::registerScheme(scheme);
}

QUrl OwnPages::relayTarget(const QUrl& url) {
    if (url.scheme() != QLatin1String(Scheme) || !url.path().startsWith(RelayFolder))
        return {};
    const QString rest = url.path(QUrl::FullyEncoded).mid(RelayFolder.size());
    const QString scheme = rest.section(u'/', 0, 0).toLower();
    const QString authority = rest.section(u'/', 1, 1);
    if ((scheme != u"http" && scheme != u"https") || authority.isEmpty())
        return {};
    QUrl target(scheme + QStringLiteral("://") + authority + u'/' + rest.section(u'/', 2),
                QUrl::StrictMode);
    if (url.hasQuery())
        target.setQuery(url.query(QUrl::FullyEncoded), QUrl::StrictMode);
    return target.isValid() && !target.host().isEmpty() ? target : QUrl();
}

OwnPages::OwnPages(QObject* parent)
    : QWebEngineUrlSchemeHandler(parent) {}

void OwnPages::requestStarted(QWebEngineUrlRequestJob* job) {
    const QUrl url = job->requestUrl();
    if (url.path().startsWith(RelayFolder)) {
        const QUrl target = relayTarget(url);
        if (target.isEmpty())
            job->fail(QWebEngineUrlRequestJob::UrlInvalid);
        else
            relay(job, target);
        return;
    }
    const QString path = QStringLiteral(":/") + url.host() + url.path();
    auto* file = new QFile(path, job);
    if (url.host().isEmpty() || url.path().contains(QLatin1String("..")) ||
        !file->open(QIODevice::ReadOnly)) {
        job->fail(QWebEngineUrlRequestJob::UrlNotFound);
        return;
    }
    job->reply(mimeType(path), file);
}

void OwnPages::relay(QWebEngineUrlRequestJob* job, const QUrl& target) {
    QNetworkRequest request(target);
    request.setTransferTimeout(RelaySilenceMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply* reply = m_network.get(request);
    // Ends with the job, whichever way the job ends.
    reply->setParent(job);
    connect(reply, &QNetworkReply::downloadProgress, job, [reply](qint64 received) {
        if (received > MaxRelayBytes)
            reply->abort();
    });
    connect(reply, &QNetworkReply::finished, job, [job, reply] {
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (reply->error() != QNetworkReply::NoError || status < 200 || status > 299) {
            job->fail(jobError(status));
            return;
        }
        // Whole: the engine does not take the network's reply as it streams in.
        auto* body = new QBuffer(job);
        body->setData(reply->readAll());
        body->open(QIODevice::ReadOnly);
        const QByteArray type = reply->header(QNetworkRequest::ContentTypeHeader).toByteArray();
        job->reply(type.isEmpty() ? QByteArray("application/octet-stream") : type, body);
    });
}

} // namespace koro
