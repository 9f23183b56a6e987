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
    , m_pending(pending)
    , m_shown(shown)
    , m_base(base) {
    m_pending->setParent(this);
    m_shown->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, false);
    connect(m_pending, &QWebEnginePage::titleChanged, this, &PendingWindowPage::copy);
    connect(m_pending, &QWebEnginePage::loadFinished, this, &PendingWindowPage::copy);
    connect(&m_poll, &QTimer::timeout, this, &PendingWindowPage::copy);
    m_poll.start(PollMs);
}

PendingWindowPage::~PendingWindowPage() {
    stopCopying();
}

bool PendingWindowPage::isCopyLoad(const QWebEnginePage* page, const QUrl& url) const {
    // The engine reports a copy's load under its base address.
    return m_copying && page == m_shown &&
           (url.scheme() == QLatin1String("data") || (!m_base.isEmpty() && url == m_base));
}

void PendingWindowPage::stopCopying() {
    if (!m_copying)
        return;
    m_copying = false;
    m_poll.stop();
    if (m_shown)
        m_shown->settings()->setAttribute(QWebEngineSettings::JavascriptEnabled, true);
}

QWebEnginePage* PendingWindowPage::release() {
    stopCopying();
    m_pending->disconnect(this);
    m_pending->setParent(nullptr);
    QWebEnginePage* page = m_pending;
    m_pending = nullptr;
    return page;
}

bool PendingWindowPage::isOwnAddress(const QUrl& url) {
    // The first document is "" or about:blank; data: addresses cannot be opened by a page.
    return url.isValid() && !url.isEmpty() && url.scheme() != QLatin1String("about") &&
           url.scheme() != QLatin1String("data");
}

void PendingWindowPage::copy() {
    if (!m_copying || m_reading || !m_pending || !m_shown)
        return;
    m_reading = true;
    m_pending->toHtml([self = QPointer<PendingWindowPage>(this)](const QString& html) {
        if (!self || !self->m_shown)
            return;
        self->m_reading = false;
        if (!self->m_copying || html == self->m_copied || !fitsCopy(html))
            return;
        self->m_copied = html;
        self->m_shown->setHtml(html, self->m_base);
    });
}

} // namespace koro
