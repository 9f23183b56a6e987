#include "tv/Download.h"

#include <QDir>

#include <QFileInfo>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <cstdio>

namespace koro::tv {

QString failureReason(int httpStatus, int networkError) {
    if (httpStatus == 404 || httpStatus == 410)
        return QStringLiteral("找不到(%1)").arg(httpStatus);
    if (httpStatus == 401 || httpStatus == 403)
        return QStringLiteral("服务器拒绝访问(%1)").arg(httpStatus);
    if (httpStatus >= 400)
        return QStringLiteral("服务器出错(%1)").arg(httpStatus);
    switch (QNetworkReply::NetworkError(networkError)) {
    case QNetworkReply::ConnectionRefusedError:
        return QStringLiteral("连接被拒绝");
    case QNetworkReply::HostNotFoundError:
        return QStringLiteral("找不到服务器");
    case QNetworkReply::TimeoutError:
    case QNetworkReply::OperationCanceledError:
        return QStringLiteral("服务器无响应");
    case QNetworkReply::SslHandshakeFailedError:
        return QStringLiteral("安全连接失败");
    case QNetworkReply::NoError:
        return QString();
    default:
        return QStringLiteral("网络错误");
    }
}

Download* Download::start(QNetworkAccessManager& network, const QUrl& url, qint64 maxBytes,
                          const QString& toFile, QObject* parent) {
    QNetworkRequest request(url);
    request.setTransferTimeout(SilenceMs);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                         QNetworkRequest::NoLessSafeRedirectPolicy);
    return new Download(network.get(request), maxBytes, toFile, parent);
}

Download::Download(QNetworkReply* reply, qint64 maxBytes, const QString& toFile, QObject* parent)
    : QObject(parent)
    , m_reply(reply)
    , m_maxBytes(maxBytes) {
    reply->setParent(this);
    reply->setReadBufferSize(ReadBufferBytes);
    if (!toFile.isEmpty()) {
        QDir().mkpath(QFileInfo(toFile).absolutePath());
        m_target = toFile;
        m_file = std::make_unique<QFile>(toFile + QStringLiteral(".part"));
        if (!m_file->open(QIODevice::WriteOnly | QIODevice::Truncate))
            m_failed = true;
    }
    connect(reply, &QNetworkReply::readyRead, this, &Download::readSome);
    connect(reply, &QNetworkReply::finished, this, &Download::done);
}

Download::~Download() {
    if (m_file && m_file->isOpen()) // never completed
        m_file->remove();
}

void Download::abort() {
    m_failed = true;
    if (m_reply)
        m_reply->abort();
    deleteLater();
}

void Download::readSome() {
    if (m_failed || !m_reply)
        return;
    const QByteArray chunk = m_reply->readAll();
    m_received += chunk.size();
    if (m_received > m_maxBytes) {
        fail(QStringLiteral("文件太大"));
        return;
    }
    if (m_file) {
        if (m_file->write(chunk) != chunk.size())
            fail(QStringLiteral("无法保存"));
    } else {
        m_body += chunk;
    }
}

void Download::done() {
    if (m_failed || !m_reply)
        return;
    readSome();
    if (m_failed)
        return;
    const int status = m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    if (m_reply->error() != QNetworkReply::NoError || status < 200 || status > 299) {
        const QString reason = failureReason(status, m_reply->error());
        fail(reason.isEmpty() ? QStringLiteral("网络错误") : reason);
        return;
    }
    if (m_file) {
        m_file->close();
        // rename(2) replaces the old copy in one step, which QFile::rename does not.
        if (m_file->error() != QFileDevice::NoError ||
            std::rename(QFile::encodeName(m_file->fileName()).constData(),
                        QFile::encodeName(m_target).constData()) != 0) {
            m_file->remove();
            fail(QStringLiteral("无法保存"));
            return;
        }
    }
    emit finished(true, m_body, QString());
    deleteLater();
}

void Download::fail(const QString& error) {
    m_failed = true;
    if (m_reply) {
        m_reply->disconnect(this);
        m_reply->abort();
    }
    emit finished(false, {}, error);
    deleteLater();
}

} // namespace koro::tv
