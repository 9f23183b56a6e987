#include "webengine/PendingWindowPage.h"

#include <QWebEngineSettings>

namespace koro {

namespace {

// Writes change no signal of the page; a light poll catches them.
constexpr int PollMs = 400;
// setHtml() refuses documents whose base64 form is larger.
constexpr qsizetype MaxCopyBytes = 2 * 1024 * 1024 - 4096;

bool fitsCopy(const QString& html) {
    return (html.toUtf8().size() + 2) / 3 * 4 <= MaxCopyBytes;
}

} // namespace

PendingWindowPage::PendingWindowPage(QWebEnginePage* pending, QWebEnginePage* shown,
                                     const QUrl& base, QObject* parent)
    : QObject(parent)
    , pending_(pending)
    , shown_(shown)
    , base_(base) {
    pending_->setParent(this);
    shown_->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    connect(pending_, &QWebEnginePage::titleChanged, this, &PendingWindowPage::copy);
    connect(pending_, &QWebEnginePage::loadFinished, this, &PendingWindowPage::copy);
    connect(&poll_, &QTimer::timeout, this, &PendingWindowPage::copy);
    poll_.start(PollMs);
}

PendingWindowPage::~PendingWindowPage() {
    stopCopying();
}

bool PendingWindowPage::isCopyLoad(const QWebEnginePage* page, const QUrl& url) const {
    // The engine reports a copy's load under its base address.
    return copying_ && page == shown_ &&
           (url.scheme() == QLatin1String("data") || (!base_.isEmpty() && url == base_));
}

void PendingWindowPage::stopCopying() {
    if (!copying_)
        return;
    copying_ = false;
    poll_.stop();
    if (shown_)
        shown_->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
}

QWebEnginePage* PendingWindowPage::release() {
    stopCopying();
    pending_->disconnect(this);
    pending_->setParent(nullptr);
    QWebEnginePage* page = pending_;
    pending_ = nullptr;
    return page;
}

bool PendingWindowPage::isOwnAddress(const QUrl& url) {
    // The first document is "" or about:blank; data: addresses cannot be opened by a page.
    return url.isValid() && !url.isEmpty() && url.scheme() != QLatin1String("about") &&
           url.scheme() != QLatin1String("data");
}

void PendingWindowPage::copy() {
    if (!copying_ || reading_ || !pending_ || !shown_)
        return;
    reading_ = true;
    pending_->toHtml([self = QPointer<PendingWindowPage>(this)](const QString& html) {
        if (!self || !self->shown_)
            return;
        self->reading_ = false;
        if (!self->copying_ || html == self->copied_ || !fitsCopy(html))
            return;
        self->copied_ = html;
        self->shown_->setHtml(html, self->base_);
    });
}

} // namespace koro
