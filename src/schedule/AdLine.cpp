#include "schedule/AdLine.h"

#include "config/FormTimer.h"
#include "config/PlainText.h"
#include "config/RegularFile.h"
#include "platform/ShellOpen.h"
#include "schedule/TDownThrd.h"

#include <QEnterEvent>
#include <QMouseEvent>

namespace koro {

namespace {
using namespace std::chrono_literals;
constexpr auto ReadDelay = 12s;
constexpr auto Rotation = 8s;
constexpr auto AbortWait = 2s;
} // namespace

AdLine::AdLine(QString feedFile, PopupOpener openPopup, ShellOpen& shell, QWidget* parent)
    : QLabel(parent)
    , m_feedFile(std::move(feedFile))
    , m_openPopup(std::move(openPopup))
    , m_shell(shell)
    , m_readad(new QTimer(this)) {
    setObjectName("labelad");
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    setUpFormTimer(*m_readad, this, "Timer_Readad", ReadDelay, &AdLine::Timer_ReadadTimer);
    m_readad->start();
    setUpFormTimer(m_showad, this, "Timer_Showad", Rotation, &AdLine::gogg);

    QFont adFont = font();
    adFont.setFamily(QStringLiteral("宋体"));
    adFont.setPixelSize(13);
    setFont(adFont);
    setCursor(Qt::PointingHandCursor);
    // The feed comes from the network: its text is never markup.
    setTextFormat(Qt::PlainText);
    m_restPalette = palette();
}

AdLine::~AdLine() {
    m_showad.setParent(nullptr);
    if (m_download) {
        m_download->abort();
        m_download->wait(QDeadlineTimer(AbortWait));
    }
}

void AdLine::StartDownload(const QString& url, const QString& fileName) {
    auto* download = new TDownThrd(url, fileName);
    connect(download, &TDownThrd::downloaded, this, &AdLine::downloadFinished);
    m_download = download;
    download->start();
}

void AdLine::Timer_ReadadTimer() {
    if (m_readad) {
        m_readad->stop();
        m_readad->deleteLater();
        m_readad->setObjectName(QString());
    }
    ReadAdFile();
}

void AdLine::ReadAdFile() {
    // A pipe or a device in place of the file counts as no file.
    if (!isRegularFile(m_feedFile))
        return;
    m_showad.start();
    // Only the head of an oversized file: a feed is a few short lines.
    if (std::optional<QByteArray> bytes = readRegularFile(m_feedFile, MaxFeedBytes))
        m_rotation.setLines(splitFeedLines(*bytes));
}

void AdLine::gogg() {
    const auto ad = m_rotation.next();
    if (!ad)
        return;
    m_link = ad->link;
    setText(ad->text);
    setToolTip(plainToolTip(m_link));
}

void AdLine::labeladClick() {
    switch (routeAdLink(m_link)) {
    case AdLinkRoute::Popup:
        if (m_openPopup)
            m_openPopup(m_link);
        break;
    case AdLinkRoute::Shell:
        m_shell.open(m_link);
        break;
    case AdLinkRoute::Ignore:
        break;
    }
}

void AdLine::labeladMouseEnter() {
    QFont hover = font();
    hover.setBold(false);
    hover.setItalic(false);
    hover.setStrikeOut(false);
    hover.setUnderline(true);
    setFont(hover);
    QPalette blue = palette();
    blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
    setPalette(blue);
}

void AdLine::labeladMouseLeave() {
    QFont rest = font();
    rest.setUnderline(false);
    setFont(rest);
    QPalette restored = palette();
    restored.setColor(QPalette::WindowText, m_restPalette.color(QPalette::WindowText));
    setPalette(restored);
}

void AdLine::enterEvent(QEnterEvent* event) {
    labeladMouseEnter();
    QLabel::enterEvent(event);
}

void AdLine::leaveEvent(QEvent* event) {
    labeladMouseLeave();
    QLabel::leaveEvent(event);
}

void AdLine::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        labeladClick();
    QLabel::mouseReleaseEvent(event);
}

} // namespace koro
