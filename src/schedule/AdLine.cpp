#include "schedule/AdLine.h"

#include "config/PlainText.h"
#include "config/RegularFile.h"
#include "platform/ShellOpen.h"
#include "schedule/TDownThrd.h"

#include <QEvent>
#include <QLabel>
#include <QMouseEvent>

namespace koro {

namespace {
constexpr int ReadDelayMs = 12000;
constexpr int RotationMs = 8000;
constexpr int AbortWaitMs = 2000;
} // namespace

AdLine::AdLine(QLabel* labelad, QString feedFile, PopupOpener openPopup, ShellOpen& shell,
               QObject* parent)
    : QObject(parent)
    , m_label(labelad)
    , m_feedFile(std::move(feedFile))
    , m_openPopup(std::move(openPopup))
    , m_shell(shell)
    , m_readad(new QTimer(this)) {
    m_readad->setObjectName("Timer_Readad");
    m_readad->setInterval(ReadDelayMs);
    connect(m_readad, &QTimer::timeout, this, &AdLine::Timer_ReadadTimer);
    m_readad->start();

    m_showad.setParent(this);
    m_showad.setObjectName("Timer_Showad");
    m_showad.setInterval(RotationMs);
    connect(&m_showad, &QTimer::timeout, this, &AdLine::gogg);

    if (m_label) {
        QFont font = m_label->font();
        font.setFamily(QStringLiteral("宋体"));
        font.setPixelSize(13);
        m_label->setFont(font);
        m_label->setCursor(Qt::PointingHandCursor);
        // The feed comes from the network: its text is never markup.
        m_label->setTextFormat(Qt::PlainText);
        m_restPalette = m_label->palette();
        m_labelObject = m_label;
        m_label->installEventFilter(this);
    }
}

AdLine::~AdLine() {
    m_showad.setParent(nullptr);
    if (m_download) {
        m_download->abort();
        m_download->wait(AbortWaitMs);
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
    if (!ad || !m_label)
        return;
    m_link = ad->link;
    m_label->setText(ad->text);
    m_label->setToolTip(plainToolTip(m_link));
}

void AdLine::labeladClick() {
    if (!m_label)
        return;
    const QString link = m_link;
    switch (routeAdLink(link)) {
    case AdLinkRoute::Popup:
        if (m_openPopup)
            m_openPopup(link);
        break;
    case AdLinkRoute::Shell:
        m_shell.open(link);
        break;
    case AdLinkRoute::Ignore:
        break;
    }
}

void AdLine::labeladMouseEnter() {
    if (!m_label)
        return;
    QFont font = m_label->font();
    font.setBold(false);
    font.setItalic(false);
    font.setStrikeOut(false);
    font.setUnderline(true);
    m_label->setFont(font);
    QPalette palette = m_label->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    m_label->setPalette(palette);
}

void AdLine::labeladMouseLeave() {
    if (!m_label)
        return;
    QFont font = m_label->font();
    font.setUnderline(false);
    m_label->setFont(font);
    QPalette palette = m_label->palette();
    palette.setColor(QPalette::WindowText, m_restPalette.color(QPalette::WindowText));
    m_label->setPalette(palette);
}

bool AdLine::eventFilter(QObject* watched, QEvent* event) {
    // Compared as plain objects: the label may be half destroyed when its last events come.
    if (watched == m_labelObject) {
        switch (event->type()) {
        case QEvent::Enter:
            labeladMouseEnter();
            break;
        case QEvent::Leave:
            labeladMouseLeave();
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton &&
                m_label->rect().contains(static_cast<QMouseEvent*>(event)->position().toPoint()))
                labeladClick();
            break;
        default:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace koro
