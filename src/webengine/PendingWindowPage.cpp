#include "webengine/PendingWindowPage.h"

#include <QPointer>
#include <QWebEngineLoadingInfo>
#include <QWebEnginePage>
#include <QWebEngineScript>

#include <utility>

namespace koro {

namespace {

// The priming takes a few round trips to the page; asking more often only costs the page time,
// and a window that stays unwritten is asked less often after a while.
constexpr int PollMs = 50;
constexpr int SlowPollMs = 1000;
constexpr int FastPolls = 40;

// Run in a script world of our own, so the page's scripts never see its variables; the frame is
// in the document for a moment only. It answers "done" once the frame has loaded; a frame the
// opener's next document.open() threw away is made again.
constexpr char PrimeScript[] = R"((function () {
  if (window.koroPrimed) return 'done';
  var frame = window.koroPrimeFrame;
  if (frame && frame.isConnected) return 'wait';
  var root = document.documentElement;
  if (!root) return 'wait';
  frame = window.koroPrimeFrame = document.createElement('iframe');
  frame.style.setProperty('display', 'none', 'important');
  frame.onload = function () { frame.remove(); window.koroPrimed = true; };
  frame.srcdoc = '';
  root.appendChild(frame);
  return 'started';
})())";

} // namespace

PendingWindowPage::PendingWindowPage(QWebEnginePage* page, QObject* parent)
    : QObject(parent)
    , m_page(page) {
    m_page->setParent(this);
    connect(m_page, &QWebEnginePage::loadingChanged, this,
            [this](const QWebEngineLoadingInfo& info) {
                m_loading = info.status() == QWebEngineLoadingInfo::LoadStartedStatus;
                if (m_primed && !m_loading)
                    emit ready();
            });
    connect(&m_poll, &QTimer::timeout, this, &PendingWindowPage::prime);
    // Not before the engine has put the new window into the page.
    m_poll.start(0);
}

QWebEnginePage* PendingWindowPage::release() {
    m_poll.stop();
    m_page->disconnect(this);
    m_page->setParent(nullptr);
    return std::exchange(m_page, nullptr);
}

bool PendingWindowPage::isOwnAddress(const QUrl& url) {
    // The first document is "" or about:blank; data: addresses cannot be opened by a page.
    return url.isValid() && !url.isEmpty() && url.scheme() != QLatin1String("about") &&
           url.scheme() != QLatin1String("data");
}

void PendingWindowPage::prime() {
    m_poll.setInterval(++m_polls < FastPolls ? PollMs : SlowPollMs);
    if (m_asking || !m_page)
        return;
    m_asking = true;
    m_page->runJavaScript(QString::fromLatin1(PrimeScript), QWebEngineScript::ApplicationWorld,
                          [self = QPointer<PendingWindowPage>(this)](const QVariant& answer) {
                              if (!self || !self->m_page)
                                  return;
                              self->m_asking = false;
                              if (answer.toString() != QLatin1String("done"))
                                  return;
                              self->m_poll.stop();
                              self->m_primed = true;
                              if (!self->m_loading)
                                  emit self->ready();
                          });
}

} // namespace koro
