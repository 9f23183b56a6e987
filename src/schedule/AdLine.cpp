#include "schedule/AdLine.h"

#include "config/FormTimer.h"
#include "config/PlainText.h"
#include "config/RegularFile.h"
#include "platform/ShellOpen.h"
#include "schedule/TDownThrd.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

namespace koro {

namespace {
using namespace std::chrono_literals;
constexpr auto ReadDelay = 12s;
constexpr auto Rotation = 8s;
constexpr auto AbortWait = 2s;
// The hover colour whatever the skin says.
constexpr QRgb HoverBlue = qRgb(0, 0, 255);
} // namespace

AdLine::AdLine(QString feedFile, PopupOpener openPopup, ShellOpen& shell, QWidget* parent)
    : QLabel(parent)
    , m_feedFile(std::move(feedFile))
    , m_openPopup(std::move(openPopup))
    , m_shell(shell)
    , m_readad(new QTimer(this)) {
    setObjectName("labelad");
    // A label asks for the width of its text; a long ad would then squeeze the row's fixed
    // controls and lie over them. This one takes what the row leaves.
    setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
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
    updateToolTip();
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
    m_hovered = true;
    update();
}

void AdLine::labeladMouseLeave() {
    m_hovered = false;
    update();
}

QFont AdLine::shownFont() const {
    QFont shown = font();
    if (m_hovered) {
        shown.setBold(false);
        shown.setItalic(false);
        shown.setStrikeOut(false);
    }
    shown.setUnderline(m_hovered);
    return shown;
}

void AdLine::updateToolTip() {
    const bool cut = fontMetrics().horizontalAdvance(text()) > contentsRect().width();
    QString tip = m_link;
    if (cut)
        tip = m_link.isEmpty() ? text() : text() + u'\n' + m_link;
    setToolTip(plainToolTip(tip));
}

void AdLine::enterEvent(QEnterEvent* event) {
    labeladMouseEnter();
    QLabel::enterEvent(event);
}

void AdLine::leaveEvent(QEvent* event) {
    labeladMouseLeave();
    QLabel::leaveEvent(event);
}

// Drawn here rather than by QLabel: a skin's colour would otherwise win over the hover colour,
// and the text must end in "…" where the room ends.
void AdLine::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    drawFrame(&painter);
    const QFont shown = shownFont();
    const QRect area = contentsRect();
    painter.setFont(shown);
    painter.setPen(m_hovered ? QColor(HoverBlue) : palette().color(foregroundRole()));
    painter.drawText(area, static_cast<int>(alignment()),
                     QFontMetrics(shown).elidedText(text(), Qt::ElideRight, area.width()));
}

void AdLine::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    updateToolTip();
}

void AdLine::changeEvent(QEvent* event) {
    QLabel::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        updateToolTip();
}

void AdLine::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        labeladClick();
    QLabel::mouseReleaseEvent(event);
}

} // namespace koro
