#include "webengine/TEwbCore.h"

#include "config/Error.h"
#include "webengine/ExternalSchemes.h"
#include "webengine/PageContextMenu.h"
#include "webengine/PageFonts.h"

#include <QChildEvent>
#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QMenu>
#include <QRegularExpression>
#include <QVBoxLayout>
#include <QWebEngineContextMenuRequest>
#include <QWebEngineHistory>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

namespace koro {

class TEwbCore::Page : public QWebEnginePage {
public:
    Page(TEwbCore* owner, QObject* parent)
        : QWebEnginePage(parent)
        , owner_(owner) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool isMainFrame) override {
        bool cancel = false;
        emit owner_->beforeNavigate2(url.toString(), &cancel);
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

    QWebEnginePage* createWindow(WebWindowType) override {
        BrowserControl* target = nullptr;
        bool cancel = false;
        emit owner_->newWindow2(&target, &cancel);
        auto* core = qobject_cast<TEwbCore*>(target);
        // The engine cannot adopt the new window into the page that asked for it.
        if (cancel || !core || core == owner_)
            return nullptr;
        return core->page_;
    }

    // Script errors and console output are not the user's business.
    void javaScriptConsoleMessage(JavaScriptConsoleMessageLevel, const QString&, int,
                                  const QString&) override {}

private:
    TEwbCore* owner_;
};

TEwbCore::TEwbCore(BrowserRole role, QWidget* parent, ExternalOpener* external)
    : BrowserControl(parent)
    , role_(role)
    , external_(external) {
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

    connect(page_, &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo& info) {
                loading_ = info.status() == QWebEngineLoadingInfo::LoadStartedStatus;
                if (loading_)
                    return;
                updateCommandStates();
                // A cancelled or stopped navigation leaves no document behind, but the engine still
                // reports it as a finished load; error pages count as documents.
                if (info.status() != QWebEngineLoadingInfo::LoadStoppedStatus)
                    emit documentComplete(info.url().toString());
                emit loadingStopped();
            });
    connect(page_, &QWebEnginePage::urlChanged, this, &TEwbCore::updateCommandStates);
    connect(page_, &QWebEnginePage::linkHovered, this, &TEwbCore::statusTextChange);
    connect(page_, &QWebEnginePage::windowCloseRequested, this, [this] {
        bool cancel = false; // the engine closes regardless
        emit windowClosing(false, &cancel);
    });
    connect(page_, &QWebEnginePage::geometryChangeRequested, this,
            &TEwbCore::geometryChangeRequested);
}

TEwbCore::~TEwbCore() = default;

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
    return page_->title();
}

QString TEwbCore::locationURL() const {
    return page_->url().toString();
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
