#include "desktop/NoticeWindow.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QScreen>
#include <QStyle>

namespace koro {

namespace {
constexpr int Margin = 8;
constexpr int DefaultSeconds = 10; // a notice without a time of its own still goes away
constexpr int TextWidth = 260;

QStyle::StandardPixmap pixmapOf(BalloonIconKind kind) {
    switch (kind) {
    case BalloonIconKind::Warning:
        return QStyle::SP_MessageBoxWarning;
    case BalloonIconKind::Error:
        return QStyle::SP_MessageBoxCritical;
    case BalloonIconKind::Info:
    case BalloonIconKind::None:
        break;
    }
    return QStyle::SP_MessageBoxInformation;
}
} // namespace

NoticeWindow::NoticeWindow(QWidget* parent)
    : QFrame(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus) {
    setObjectName("NoticeWindow");
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    QPalette tip = palette();
    tip.setColor(QPalette::Window, QApplication::palette().color(QPalette::ToolTipBase));
    tip.setColor(QPalette::WindowText, QApplication::palette().color(QPalette::ToolTipText));
    setPalette(tip);

    m_icon = new QLabel(this);
    m_title = new QLabel(this);
    QFont bold = m_title->font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_text = new QLabel(this);
    // Notices name channels that pages and settings files gave.
    m_title->setTextFormat(Qt::PlainText);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setWordWrap(true);
    m_text->setFixedWidth(TextWidth);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(Margin, Margin, Margin, Margin);
    layout->addWidget(m_icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(m_title, 0, 1);
    layout->addWidget(m_text, 1, 1);

    m_expiry.setSingleShot(true);
    connect(&m_expiry, &QTimer::timeout, this, &NoticeWindow::clearNotice);
}

void NoticeWindow::showNotice(const QString& title, const QString& text, BalloonIconKind kind,
                              int timeoutSeconds) {
    const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize);
    m_icon->setVisible(kind != BalloonIconKind::None);
    m_icon->setPixmap(style()->standardIcon(pixmapOf(kind)).pixmap(iconSize, iconSize));
    setWindowTitle(title); // how the window list names it
    m_title->setText(title);
    m_title->setVisible(!title.isEmpty());
    m_text->setText(text);
    adjustSize();
    placeAtBottomRight();
    show();
    raise();
    m_expiry.start((timeoutSeconds > 0 ? timeoutSeconds : DefaultSeconds) * 1000);
}

void NoticeWindow::clearNotice() {
    m_expiry.stop();
    hide();
}

QString NoticeWindow::title() const {
    return m_title->text();
}

QString NoticeWindow::text() const {
    return m_text->text();
}

void NoticeWindow::mousePressEvent(QMouseEvent*) {
    clearNotice();
}

void NoticeWindow::placeAtBottomRight() {
    const QScreen* screen = QApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->availableGeometry();
    move(area.right() - width() - Margin + 1, area.bottom() - height() - Margin + 1);
}

} // namespace koro
