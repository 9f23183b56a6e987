#include "webengine/TEwbCore.h"

#include "webengine/PendingWindowPage.h"

#include "config/Error.h"
#include "webengine/EngineProfile.h"
#include "webengine/ExternalSchemes.h"
#include "webengine/PageContextMenu.h"
#include "webengine/PageDialog.h"
#include "webengine/PageFonts.h"
#include "webengine/UnrequestedWindowLimit.h"

#include <QChildEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QRegularExpression>
#include <QTimer>
#include <QVBoxLayout>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <utility>

namespace koro {

namespace {

// A new window's page starts out with the settings of the page it replaces in the view.
void copySettings(const QWebEngineSettings& from, QWebEngineSettings& to) {
    for (int a = QWebEngineSettings::AutoLoadImages; a <= QWebEngineSettings::NavigateOnDropEnabled;
         ++a) {
        const auto attribute = static_cast<QWebEngineSettings::WebAttribute>(a);
        to.setAttribute(attribute, from.testAttribute(attribute));
    }
    for (int f = QWebEngineSettings::StandardFont; f <= QWebEngineSettings::PictographFont; ++f) {
        const auto family = static_cast<QWebEngineSettings::FontFamily>(f);
        to.setFontFamily(family, from.fontFamily(family));
    }
    for (int z = QWebEngineSettings::MinimumFontSize; z <= QWebEngineSettings::DefaultFixedFontSize;
         ++z) {
        const auto size = static_cast<QWebEngineSettings::FontSize>(z);
        to.setFontSize(size, from.fontSize(size));
    }
    to.setDefaultTextEncoding(from.defaultTextEncoding());
    to.setUnknownUrlSchemePolicy(from.unknownUrlSchemePolicy());
}

} // namespace

class TEwbCore::Page : public QWebEnginePage {
public:
    Page(TEwbCore* owner, QWebEngineProfile* profile, QObject* parent)
        : QWebEnginePage(profile, parent)
        , m_owner(owner) {
        // Not createWindow(): only the request tells whether the user asked for the window.
        connect(this, &QWebEnginePage::newWindowRequested, this,
                [this](QWebEngineNewWindowRequest& request) {
                    if (QWebEnginePage* page = m_owner->pageForNewWindow(request.isUserInitiated()))
                        request.openIn(page);
                });
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
        bool cancel = false;
        emit m_owner->beforeNavigate2(url.toString(), &cancel);
        if (!cancel && isMainFrame)
            m_owner->updateOwnPage(this, url);
        if (!cancel && !engineHandlesScheme(url.scheme())) {
            // The engine would hand it to the desktop without asking anyone.
            if (m_owner->m_external)
                m_owner->m_external->request(url, m_owner);
            cancel = true;
        }
        // Neither a refused navigation nor one inside a frame starts the page loading.
        if ((cancel || !isMainFrame) && !m_owner->m_loading)
            emit m_owner->loadingStopped();
        return !cancel;
    }

    void javaScriptAlert(const QUrl& origin, const QString& message) override {
        PageDialog::ask(PageDialog::Kind::Alert, origin, message, m_owner->window());
    }

    bool javaScriptConfirm(const QUrl& origin, const QString& message) override {
        // The engine asks whether to leave a page that wants to stay through here as well.
        const QString leave = QCoreApplication::translate(
            "QWebEnginePage",
            "Are you sure you want to leave this page? Changes that you made may not be saved.");
        return PageDialog::ask(PageDialog::Kind::Confirm, origin,
                               message == leave ? QStringLiteral("确定要离开此网页吗？"
                                                                 "您所做的更改可能不会保存。")
                                                : message,
                               m_owner->window())
            .has_value();
    }

    bool javaScriptPrompt(const QUrl& origin, const QString& message, const QString& value,
                          QString* result) override {
        const std::optional<QString> typed =
            PageDialog::ask(PageDialog::Kind::Prompt, origin, message, m_owner->window(), value);
        if (typed)
            *result = *typed;
        return typed.has_value();
    }

    // Script errors and console output are not the user's business.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}

private:
    TEwbCore* m_owner;
};

TEwbCore::TEwbCore(BrowserRole role, QWidget* parent, ExternalOpener* external,
                   std::shared_ptr<UnrequestedWindowLimit> windowLimit,
                   std::shared_ptr<EngineProfile> profile)
    : BrowserControl(parent)
    , m_role(role)
    , m_external(external)
    , m_windowLimit(std::move(windowLimit))
    , m_profile(std::move(profile)) {
    if (m_role == BrowserRole::Catcher) {
        // Only its navigation requests matter, so it gets no view to render into.
        hide();
    } else {
        m_view = new QWebEngineView(this);
        // Shown with its page: a view shown without one makes a page, and so starts the engine.
        m_view->hide();
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_view);
        // Its rendering widget comes later, with the first page (see eventFilter).
        m_view->installEventFilter(this);
        m_view->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(m_view, &QWidget::customContextMenuRequested, this, &TEwbCore::showContextMenu);
        // The page starts the engine, which the window that holds this one need not wait for.
        QTimer::singleShot(0, this, &TEwbCore::shownPage);
    }
    if (m_role == BrowserRole::LoadingIcon)
        setFixedSize(16, 16);
}

TEwbCore::Page* TEwbCore::shownPage() {
    if (m_page)
        return m_page;
    QWebEngineProfile* profile = m_profile ? m_profile->get() : QWebEngineProfile::defaultProfile();
    // The view owns the page so that it outlives the view's own teardown.
    m_page = new Page(this, profile, m_view ? static_cast<QObject*>(m_view) : this);
    QWebEngineSettings* settings = m_page->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    applyPageFonts(*settings);
    if (m_role == BrowserRole::LoadingIcon) {
        settings->setAttribute(QWebEngineSettings::ShowScrollBars, false);
        m_page->setBackgroundColor(Qt::transparent);
    }
    connectPage(m_page);
    if (m_ownChannel) {
        m_page->setWebChannel(m_ownChannel);
        updateOwnPage(m_page, m_page->url());
    }
    if (m_view) {
        m_view->setPage(m_page);
        m_view->show();
        // Not before: focus given to a hidden proxy is lost. Focus this instance kept meanwhile
        // passes on to the view.
        setFocusProxy(m_view);
    }
    return m_page;
}

void TEwbCore::connectPage(Page* page) {
    connect(page, &QWebEnginePage::loadingChanged, this,
            [this, page](const QWebEngineLoadingInfo& info) {
                const bool pending = m_pending && page == m_pending->page();
                if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
                    // A page out of view is not the user's load yet.
                    if (!pending)
                        m_loading = true;
                    return;
                }
                if (pending && PendingWindowPage::isOwnAddress(info.url()))
                    showPendingPage();
                updateCommandStates();
                m_loading = false;
                // A cancelled or stopped navigation leaves no document behind, but the engine still
                // reports it as a finished load; error pages count as documents.
                if (info.status() != QWebEngineLoadingInfo::LoadStoppedStatus)
                    emit documentComplete(info.url().toString());
                emit loadingStopped();
            });
    connect(page, &QWebEnginePage::urlChanged, this, &TEwbCore::updateCommandStates);
    connect(page, &QWebEnginePage::linkHovered, this, &TEwbCore::statusTextChange);
    connect(page, &QWebEnginePage::windowCloseRequested, this, [this] {
        bool cancel = false; // the engine closes regardless
        emit windowClosing(false, &cancel);
    });
    connect(page, &QWebEnginePage::geometryChangeRequested, this,
            &TEwbCore::geometryChangeRequested);
}

QWebEnginePage* TEwbCore::pageForNewWindow(bool userInitiated) {
    if (!userInitiated && m_windowLimit && !m_windowLimit->allow())
        return nullptr;
    BrowserControl* target = nullptr;
    bool cancel = false;
    emit newWindow2(&target, &cancel);
    auto* core = qobject_cast<TEwbCore*>(target);
    // The engine cannot adopt the new window into the page that asked for it.
    if (cancel || !core || core == this)
        return nullptr;
    return core->adoptNewWindow();
}

QWebEnginePage* TEwbCore::adoptNewWindow() {
    // Nothing is ever drawn for the catcher.
    if (!m_view)
        return shownPage();
    delete m_pending;
    auto* page = new Page(this, shownPage()->profile(), this);
    copySettings(*shownPage()->settings(), *page->settings());
    connectPage(page);
    m_pending = new PendingWindowPage(page, this);
    connect(m_pending, &PendingWindowPage::ready, this, [this] {
        showPendingPage();
        // What the opener wrote is the window's document from now on.
        emit documentComplete(locationURL());
    });
    return page;
}

void TEwbCore::showPendingPage() {
    auto* shown = static_cast<Page*>(m_pending->release());
    m_pending->deleteLater();
    m_pending = nullptr;
    QPointer<Page> old = m_page;
    old->disconnect(this);
    m_page = shown;
    m_page->setParent(m_view);
    if (m_ownChannel)
        m_page->setWebChannel(m_ownChannel);
    m_view->setPage(m_page);
    if (old)
        old->deleteLater();
}

QWebEnginePage* TEwbCore::windowPage() {
    return m_pending ? m_pending->page() : shownPage();
}

const QWebEnginePage* TEwbCore::windowPageIfAny() const {
    return m_pending ? m_pending->page() : m_page;
}

TEwbCore::~TEwbCore() {
    // A page out of view goes before the instance it reports to.
    if (m_pending) {
        m_pending->page()->disconnect(this);
        delete std::exchange(m_pending, nullptr);
    }
}

QUrl TEwbCore::addressFromText(const QString& text) {
    const QString trimmed = text.trimmed();
    if (trimmed.isEmpty())
        return {};
    if (trimmed == QLatin1String("about:blank"))
        return QUrl(trimmed);
    if (QDir::isAbsolutePath(trimmed) && QFileInfo::exists(trimmed))
        return QUrl::fromLocalFile(trimmed);
    // A broken "scheme://" address must fail here: the engine's own guessing would turn it into
    // a different one.
    static const QRegularExpression withAuthority(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    // Otherwise keeps any scheme as given and reads "host", "host:port/path" and "host/path"
    // as web addresses.
    if (withAuthority.match(trimmed).hasMatch()) {
        const QUrl url(trimmed, QUrl::TolerantMode);
        return url.isValid() ? url : QUrl();
    }
    QUrl url = QUrl::fromUserInput(trimmed);
    if (url.isValid())
        return url;
    // Text such as "read the file.txt" is no host name. Passed on as an address with an empty
    // authority, the engine takes the text for the host, fails on it without asking any name
    // server, and shows its own error page for it.
    return QUrl(QStringLiteral("http:///") + trimmed, QUrl::TolerantMode);
}

void TEwbCore::navigate(const QString& url) {
    const QUrl address = addressFromText(url);
    if (address.isEmpty())
        throw Error("Invalid address: " + url.toStdString());
    // The engine does not ask before loading "about:" pages, and silently drops addresses for
    // other programs, so both are dealt with here.
    const bool external = !engineHandlesScheme(address.scheme());
    if (external || address.scheme() == QLatin1String("about")) {
        bool cancel = false;
        emit beforeNavigate2(address.toString(), &cancel);
        if (!cancel && external && m_external)
            m_external->request(address, this);
        if (cancel || external) {
            if (!m_loading)
                emit loadingStopped();
            return;
        }
    }
    windowPage()->load(address);
}

void TEwbCore::goBack() {
    windowPage()->triggerAction(QWebEnginePage::Back);
}

void TEwbCore::goForward() {
    windowPage()->triggerAction(QWebEnginePage::Forward);
}

void TEwbCore::refresh() {
    windowPage()->triggerAction(QWebEnginePage::Reload);
}

void TEwbCore::stop() {
    windowPage()->triggerAction(QWebEnginePage::Stop);
}

QString TEwbCore::locationName() const {
    const QWebEnginePage* page = windowPageIfAny();
    return page ? page->title() : QString();
}

QString TEwbCore::locationURL() const {
    const QWebEnginePage* page = windowPageIfAny();
    return page ? page->url().toString() : QString();
}

void TEwbCore::setOwnPageChannel(QWebChannel* channel, const QUrl& ownPage) {
    m_ownChannel = channel;
    m_ownPage = ownPage;
    // The page keeps a plain pointer to it.
    if (channel)
        connect(channel, &QObject::destroyed, this, [this] {
            if (m_page)
                m_page->setWebChannel(nullptr);
        });
    // The engine gives a page the channel only if it had it before its navigation started, so
    // it stays on the page; its objects answer only while the own page is shown. A page not
    // made yet gets it when it is.
    if (m_page) {
        m_page->setWebChannel(channel);
        updateOwnPage(m_page, m_page->url());
    }
}

void TEwbCore::updateOwnPage(QWebEnginePage* page, const QUrl& url) {
    constexpr auto bare = QUrl::RemoveQuery | QUrl::RemoveFragment;
    const bool own = !m_ownPage.isEmpty() && url.adjusted(bare) == m_ownPage.adjusted(bare);
    // The own page plays the channel it opens with; other pages wait for a click as before.
    // Its scheme is local: it may load pictures and media from the web, and reads nothing of the
    // disk, which a local page otherwise may.
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, !own);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, own);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, !own);
}

QWebEnginePage* TEwbCore::page() {
    return shownPage();
}

void TEwbCore::showContextMenu(const QPoint& pos) {
    const QWebEngineContextMenuRequest* request = m_view->lastContextMenuRequest();
    if (!request)
        return;
    QMenu* menu = makePageContextMenu(*shownPage(), *request, m_view);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    emit contextMenuAboutToShow(menu);
    menu->popup(m_view->mapToGlobal(pos));
}

void TEwbCore::updateCommandStates() {
    const QWebEngineHistory* history = shownPage()->history();
    emit commandStateChange(CommandBack, history->canGoBack());
    emit commandStateChange(CommandForward, history->canGoForward());
}

bool TEwbCore::eventFilter(QObject* watched, QEvent* event) {
    // The view adds its rendering widget as a child only once a page loads; key presses go to
    // that child.
    if (watched == m_view && event->type() == QEvent::ChildAdded) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType())
            child->installEventFilter(this);
    }
    if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const Qt::KeyboardModifiers mods = key->modifiers();
        if (key->key() == Qt::Key_N && (mods & Qt::ControlModifier) && !(mods & Qt::AltModifier))
            return true;
    }
    return BrowserControl::eventFilter(watched, event);
}

} // namespace koro
