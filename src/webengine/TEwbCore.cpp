#include "webengine/TEwbCore.h"

#include "webengine/PendingWindowPage.h"

#include "config/Error.h"
#include "webengine/ExternalSchemes.h"
#include "webengine/PageContextMenu.h"
#include "webengine/PageFonts.h"
#include "webengine/UnrequestedWindowLimit.h"

#include <QChildEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QPointer>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEngineNewWindowRequest>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

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
    Page(TEwbCore* owner, QObject* parent)
        : QWebEnginePage(parent)
        , owner_(owner) {
        // Not createWindow(): only the request tells whether the user asked for the window.
        connect(this, &QWebEnginePage::newWindowRequested, this,
                [this](QWebEngineNewWindowRequest& request) {
                    if (QWebEnginePage* page =
                            owner_->pageForNewWindow(request.isUserInitiated(), url()))
                        request.openIn(page);
                });
    }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
        if (PendingWindowPage* pending = owner_->pending_) {
            if (pending->isCopyLoad(this, url))
                return true;
            // The user follows a link in the copy: the window is no longer the pending page's.
            if (this == owner_->page_ && isMainFrame)
                pending->stopCopying();
        }
        bool cancel = false;
        emit owner_->beforeNavigate2(url.toString(), &cancel);
        if (!cancel && isMainFrame)
            owner_->updateOwnPage(this, url);
        if (!cancel && !engineHandlesScheme(url.scheme())) {
            // The engine would hand it to the desktop without asking anyone.
            if (owner_->external_)
                owner_->external_->request(url, owner_);
            cancel = true;
        }
        // Neither a refused navigation nor one inside a frame starts the page loading.
        if ((cancel || !isMainFrame) && !owner_->loading_)
            emit owner_->loadingStopped();
        return !cancel;
    }

    // Script errors and console output are not the user's business.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}

private:
    TEwbCore* owner_;
};

TEwbCore::TEwbCore(BrowserRole role, QWidget* parent, ExternalOpener* external,
                   std::shared_ptr<UnrequestedWindowLimit> windowLimit)
    : BrowserControl(parent)
    , role_(role)
    , external_(external)
    , windowLimit_(std::move(windowLimit)) {
    if (role_ == BrowserRole::Catcher) {
        // Only its navigation requests matter, so it gets no view to render into.
        page_ = new Page(this, this);
        hide();
    } else {
        view_ = new QWebEngineView(this);
        // The view owns the page so that it outlives the view's own teardown.
        page_ = new Page(this, view_);
        view_->setPage(page_);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(view_);
        setFocusProxy(view_);
        // Its rendering widget comes later, with the first page (see eventFilter).
        view_->installEventFilter(this);
        view_->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(view_, &QWidget::customContextMenuRequested, this, &TEwbCore::showContextMenu);
    }

    QWebEngineSettings* settings = page_->settings();
    settings->setAttribute(QWebEngineSettings::JavascriptCanOpenWindows, true);
    applyPageFonts(*settings);
    if (role_ == BrowserRole::LoadingIcon) {
        settings->setAttribute(QWebEngineSettings::ShowScrollBars, false);
        page_->setBackgroundColor(Qt::transparent);
        setFixedSize(16, 16);
    }

    connectPage(page_);
}

void TEwbCore::connectPage(Page* page) {
    connect(page, &QWebEnginePage::loadingChanged, this,
            [this, page](const QWebEngineLoadingInfo& info) {
                const bool copyLoad = pending_ && pending_->isCopyLoad(page, info.url());
                if (info.status() == QWebEngineLoadingInfo::LoadStartedStatus) {
                    // The hidden page and the copy's refreshes are not the user's loads.
                    if (!copyLoad && !(pending_ && page == pending_->page()))
                        loading_ = true;
                    return;
                }
                if (pending_ && page == pending_->page()) {
                    // Once the window has left the copy, the page behind it is only there for
                    // its opener.
                    if (!pending_->copying())
                        return;
                    if (PendingWindowPage::isOwnAddress(info.url()))
                        showPendingPage();
                } else if (copyLoad) {
                    emit documentComplete(locationURL());
                    return;
                }
                updateCommandStates();
                loading_ = false;
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

QWebEnginePage* TEwbCore::pageForNewWindow(bool userInitiated, const QUrl& opener) {
    if (!userInitiated && windowLimit_ && !windowLimit_->allow())
        return nullptr;
    BrowserControl* target = nullptr;
    bool cancel = false;
    emit newWindow2(&target, &cancel);
    auto* core = qobject_cast<TEwbCore*>(target);
    // The engine cannot adopt the new window into the page that asked for it.
    if (cancel || !core || core == this)
        return nullptr;
    return core->adoptNewWindow(opener);
}

QWebEnginePage* TEwbCore::adoptNewWindow(const QUrl& opener) {
    // Nothing is ever drawn for the catcher.
    if (!view_)
        return page_;
    delete pending_;
    auto* page = new Page(this, this);
    copySettings(*page_->settings(), *page->settings());
    connectPage(page);
    pending_ = new PendingWindowPage(page, page_, opener, this);
    return page;
}

void TEwbCore::showPendingPage() {
    auto* shown = static_cast<Page*>(pending_->release());
    pending_->deleteLater();
    pending_ = nullptr;
    QPointer<Page> old = page_;
    old->disconnect(this);
    page_ = shown;
    page_->setParent(view_);
    if (ownChannel_)
        page_->setWebChannel(ownChannel_);
    view_->setPage(page_);
    if (old)
        old->deleteLater();
}

QWebEnginePage* TEwbCore::scriptPage() const {
    return pending_ && pending_->copying() ? pending_->page() : page_;
}

TEwbCore::~TEwbCore() {
    // Before the view and its page, which the copy refers to.
    delete pending_;
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
        if (!cancel && external && external_)
            external_->request(address, this);
        if (cancel || external) {
            if (!loading_)
                emit loadingStopped();
            return;
        }
    }
    if (pending_)
        pending_->stopCopying();
    page_->load(address);
}

void TEwbCore::goBack() {
    page_->triggerAction(QWebEnginePage::Back);
}

void TEwbCore::goForward() {
    page_->triggerAction(QWebEnginePage::Forward);
}

void TEwbCore::refresh() {
    page_->triggerAction(QWebEnginePage::Reload);
}

void TEwbCore::stop() {
    page_->triggerAction(QWebEnginePage::Stop);
}

QString TEwbCore::locationName() const {
    return scriptPage()->title();
}

QString TEwbCore::locationURL() const {
    return scriptPage()->url().toString();
}

void TEwbCore::setOwnPageChannel(QWebChannel* channel, const QUrl& ownPage) {
    ownChannel_ = channel;
    ownPage_ = ownPage;
    // The page keeps a plain pointer to it.
    if (channel)
        connect(channel, &QObject::destroyed, this, [this] { page_->setWebChannel(nullptr); });
    // The engine gives a page the channel only if it had it before its navigation started, so
    // it stays on the page; its objects answer only while the own page is shown.
    page_->setWebChannel(channel);
    updateOwnPage(page_, page_->url());
}

void TEwbCore::updateOwnPage(QWebEnginePage* page, const QUrl& url) {
    constexpr auto bare = QUrl::RemoveQuery | QUrl::RemoveFragment;
    const bool own = !ownPage_.isEmpty() && url.adjusted(bare) == ownPage_.adjusted(bare);
    // The own page plays the channel it opens with; other pages wait for a click as before.
    // Its scheme is local: it may load pictures and media from the web, and reads nothing of the
    // disk, which a local page otherwise may.
    QWebEngineSettings* settings = page->settings();
    settings->setAttribute(QWebEngineSettings::PlaybackRequiresUserGesture, !own);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessRemoteUrls, own);
    settings->setAttribute(QWebEngineSettings::LocalContentCanAccessFileUrls, !own);
}

QWebEnginePage* TEwbCore::page() const {
    return page_;
}

void TEwbCore::showContextMenu(const QPoint& pos) {
    const QWebEngineContextMenuRequest* request = view_->lastContextMenuRequest();
    if (!request)
        return;
    QMenu* menu = makePageContextMenu(*page_, *request, view_);
    menu->setAttribute(Qt::WA_DeleteOnClose);
    emit contextMenuAboutToShow(menu);
    menu->popup(view_->mapToGlobal(pos));
}

void TEwbCore::updateCommandStates() {
    const QWebEngineHistory* history = page_->history();
    emit commandStateChange(CommandBack, history->canGoBack());
    emit commandStateChange(CommandForward, history->canGoForward());
}

bool TEwbCore::eventFilter(QObject* watched, QEvent* event) {
    // The view adds its rendering widget as a child only once a page loads; key presses go to
    // that child.
    if (watched == view_ && event->type() == QEvent::ChildAdded) {
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
