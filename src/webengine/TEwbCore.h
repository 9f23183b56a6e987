#pragma once

#include "webengine/BrowserControl.h"
#include "webengine/ExternalSchemes.h"

#include <QPointer>
#include <QRect>
#include <QUrl>
#include <QWebChannel>

#include <memory>

class QWebEnginePage;
class QWebEngineView;

namespace koro {

class EngineProfile;
class PendingWindowPage;
class UnrequestedWindowLimit;

// The web page area on Qt WebEngine: turns the engine's page callbacks into the control's events
// and applies the per-role options. The events come from inside the engine: a handler that
// destroys the instance must do so with deleteLater().
class TEwbCore : public BrowserControl {
    Q_OBJECT
public:
    // Addresses the engine does not handle itself go to external, after the user agreed; without
    // one they are refused. Windows a page opens without the user's click count against
    // windowLimit, when given. Pages use profile, or the engine's default profile without one;
    // the first is made once the event loop runs, or when first needed.
    explicit TEwbCore(BrowserRole role, QWidget* parent = nullptr,
                      ExternalOpener* external = nullptr,
                      std::shared_ptr<UnrequestedWindowLimit> windowLimit = nullptr,
                      std::shared_ptr<EngineProfile> profile = nullptr);
    ~TEwbCore() override;

    void navigate(const QString& url) override;
    void goBack() override;
    void goForward() override;
    void refresh() override;
    void stop() override;
    QString locationName() const override;
    QString locationURL() const override;
    void setOwnPageChannel(QWebChannel* channel, const QUrl& ownPage) override;

    BrowserRole role() const { return m_role; }
    QWebEnginePage* page();

    // What navigate() makes of its argument; an empty QUrl for blank text and broken
    // "scheme://" addresses.
    static QUrl addressFromText(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class Page;

    // The page the view shows, made on first use.
    Page* shownPage();
    void connectPage(Page* page);
    // The page the engine is to open a window into that this one's page asked for; none when
    // the window is refused.
    QWebEnginePage* pageForNewWindow(bool userInitiated);
    // A page of this instance for a new window.
    QWebEnginePage* adoptNewWindow();
    void showPendingPage();
    // The page that is this window, for scripts and for the user: the pending one while it is
    // kept out of the view.
    QWebEnginePage* windowPage();
    // The same, or none while no page was made yet.
    const QWebEnginePage* windowPageIfAny() const;
    void updateCommandStates();
    void showContextMenu(const QPoint& pos);
    // What differs on the own page, set as page goes to url.
    void updateOwnPage(QWebEnginePage* page, const QUrl& url);

    BrowserRole m_role;
    QWebEngineView* m_view = nullptr; // none for the catcher, which never shows anything
    Page* m_page = nullptr;           // the page the view shows; see shownPage()
    PendingWindowPage* m_pending = nullptr;
    QPointer<ExternalOpener> m_external; // the factory that owns it may go first at exit
    std::shared_ptr<UnrequestedWindowLimit> m_windowLimit; // shared: the factory may go first
    std::shared_ptr<EngineProfile> m_profile;
    bool m_loading = false;
    QPointer<QWebChannel> m_ownChannel;
    QUrl m_ownPage;
};

} // namespace koro
