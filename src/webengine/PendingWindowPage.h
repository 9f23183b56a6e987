#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QWebEnginePage>

namespace koro {

// A page the engine has opened a new window into, kept out of every view until it has loaded an
// address of its own. The engine crashes when it draws text that an opener wrote into such a
// window's first, never-loaded document (window.open('') followed by document.write), so until
// then the window shows a copy of that document instead, with scripts off so that nothing in
// it runs twice. The page itself stays alive and reachable: the opener's later writes show up
// in the copy and its close() still closes the window.
class PendingWindowPage : public QObject {
    Q_OBJECT
public:
    // Takes pending over; copies its document into shown, relative to base (the opener's
    // address, which a written document inherits).
    PendingWindowPage(QWebEnginePage* pending, QWebEnginePage* shown, const QUrl& base,
                      QObject* parent);
    ~PendingWindowPage() override;

    QWebEnginePage* page() const { return m_pending; }
    // Whether the shown page still shows the copy.
    bool copying() const { return m_copying; }
    // A load of the shown page that the copy itself started.
    bool isCopyLoad(const QWebEnginePage* page, const QUrl& url) const;
    // The shown page goes its own way; the pending page stays for the opener's close().
    void stopCopying();
    // Stops copying and gives the page up, to be shown in the copy's place.
    QWebEnginePage* release();

    // Whether a completed load of the pending page leaves it safe to show.
    static bool isOwnAddress(const QUrl& url);

private:
    void copy();

    QWebEnginePage* m_pending;
    QPointer<QWebEnginePage> m_shown; // the view owns it
    QUrl m_base;
    QTimer m_poll;
    QString m_copied;
    bool m_copying = true;
    bool m_reading = false;
};

} // namespace koro
