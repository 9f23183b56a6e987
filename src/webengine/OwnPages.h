#pragma once

#include <QNetworkAccessManager>
#include <QUrl>
#include <QWebEngineUrlSchemeHandler>

namespace koro {

// The program's own pages, under koro://<folder>/<file>: the resource :/<folder>/<file>. The
// scheme is local, so web pages can neither open nor load anything of it, and an own page can
// read what lies below koro://<folder>/relay/<http or https>/<host[:port]>/<path>: the program
// fetches that web address for it, which the page's own origin could not read from a server
// that does not allow other sites to.
class OwnPages : public QWebEngineUrlSchemeHandler {
    Q_OBJECT
public:
    static constexpr char Scheme[] = "koro";
    static constexpr qint64 MaxRelayBytes = qint64(64) * 1024 * 1024;
    static constexpr int RelaySilenceMs = 15000;

    // Before the page engine starts.
    static void registerScheme();
    // The web address a relay address stands for; empty for anything else.
    static QUrl relayTarget(const QUrl& url);

    explicit OwnPages(QObject* parent = nullptr);
    void requestStarted(QWebEngineUrlRequestJob* job) override;

private:
    void relay(QWebEngineUrlRequestJob* job, const QUrl& target);

    QNetworkAccessManager m_network;
};

} // namespace koro
