#pragma once

#include <QObject>
#include <QTimer>
#include <QUrl>

class QWebEnginePage;

namespace koro {

// A page the engine has opened a new window into, kept out of every view until the engine can
// draw it. On Qt 6.4 the engine crashes at the first paint of text in a new window's first,
// never-loaded document (window.open('') followed by document.write) unless some navigation
// in that page has committed: its web preferences are only made then. A committed navigation
// in a frame is enough, so the page is primed with a hidden, empty frame that goes again at
// once; the written document stays the page's own and keeps running.
class PendingWindowPage : public QObject {
    Q_OBJECT
public:
    // Takes page over.
    PendingWindowPage(QWebEnginePage* page, QObject* parent);

    QWebEnginePage* page() const { return m_page; }
    // Gives the page up, to be shown.
    QWebEnginePage* release();

    // Whether a completed load of the page leaves it safe to show.
    static bool isOwnAddress(const QUrl& url);

signals:
    // The page has been primed and is not loading: it can be shown.
    void ready();

private:
    void prime();

    QWebEnginePage* m_page;
    QTimer m_poll;
    int m_polls = 0;
    bool m_asking = false;
    bool m_loading = false;
    bool m_primed = false;
};

} // namespace koro
