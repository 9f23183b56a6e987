#include "webengine/LoadingPageView.h"

#include "config/Error.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QTimer>

namespace koro {

LoadingPageView::LoadingPageView(QWidget* parent)
    : BrowserControl(parent) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAutoFillBackground(false);
}

LoadingPageView::~LoadingPageView() = default;

QString LoadingPageView::backgroundOf(const QByteArray& html, const QString& pageFolder) {
    static const QRegularExpression body(
        R"re(<body\b[^>]*?\bbackground\s*=\s*(?:"([^"]*)"|'([^']*)'|([^\s>]+)))re",
        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = body.match(QString::fromUtf8(html));
    if (!m.hasMatch())
        return {};
    QString picture = m.captured(1) + m.captured(2) + m.captured(3);
    const QUrl url(picture);
    if (url.isLocalFile())
        picture = url.toLocalFile();
    else if (!url.scheme().isEmpty() && url.scheme().size() > 1)
        return {}; // a picture on the web: this view draws local pages only
    return QDir(pageFolder).absoluteFilePath(picture);
}

void LoadingPageView::navigate(const QString& url) {
    const bool blank = url == QLatin1String("about:blank");
    const QUrl target =
        !blank && QFileInfo(url).isAbsolute() ? QUrl::fromLocalFile(url) : QUrl(url);
    if (!(target.isLocalFile() || blank))
        throw Error("The loading indicator shows local pages only: " + url.toStdString());

    bool cancel = false;
    emit beforeNavigate2(target.toString(), &cancel);
    if (cancel)
        return;
    load(target);
}

void LoadingPageView::load(const QUrl& url) {
    m_url = url;
    m_movie.reset();
    m_title.clear();
    if (url.isLocalFile()) {
        QFile page(url.toLocalFile());
        QByteArray html;
        if (page.open(QIODevice::ReadOnly))
            html = page.read(qint64{64} * 1024);
        static const QRegularExpression title("<title>(.*?)</title>",
                                              QRegularExpression::CaseInsensitiveOption |
                                                  QRegularExpression::DotMatchesEverythingOption);
        m_title = title.match(QString::fromUtf8(html)).captured(1).trimmed();
        if (m_title.isEmpty())
            m_title = url.toString();
        const QString picture = backgroundOf(html, QFileInfo(page).absolutePath());
        if (!picture.isEmpty() && QFile::exists(picture)) {
            m_movie = std::make_unique<QMovie>(picture);
            connect(m_movie.get(), &QMovie::frameChanged, this, [this] { update(); });
            if (isVisible())
                m_movie->start();
        }
    }
    update();
    // Completion is reported from the event loop, as a page engine does.
    QTimer::singleShot(0, this, [this, url] {
        if (m_url == url)
            emit documentComplete(url.toString());
    });
}

void LoadingPageView::refresh() {
    if (!m_url.isEmpty())
        load(m_url);
}

void LoadingPageView::stop() {
    if (m_movie)
        m_movie->setPaused(true);
}

void LoadingPageView::paintEvent(QPaintEvent*) {
    if (!m_movie)
        return;
    const QPixmap frame = m_movie->currentPixmap();
    if (frame.isNull())
        return;
    QPainter painter(this);
    painter.drawTiledPixmap(rect(), frame); // a body background tiles
}

void LoadingPageView::showEvent(QShowEvent* event) {
    BrowserControl::showEvent(event);
    if (m_movie)
        m_movie->start();
}

void LoadingPageView::hideEvent(QHideEvent* event) {
    BrowserControl::hideEvent(event);
    // Nothing to draw while hidden: no timer keeps waking the program.
    if (m_movie)
        m_movie->stop();
}

} // namespace koro
