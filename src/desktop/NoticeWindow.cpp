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

    icon_ = new QLabel(this);
    title_ = new QLabel(this);
    QFont bold = title_->font();
    bold.setBold(true);
    title_->setFont(bold);
    text_ = new QLabel(this);
    // Notices name channels that pages and settings files gave.
    title_->setTextFormat(Qt::PlainText);
    text_->setTextFormat(Qt::PlainText);
    text_->setWordWrap(true);
    text_->setFixedWidth(TextWidth);
    auto* layout = new QGridLayout(this);
    layout->setContentsMargins(Margin, Margin, Margin, Margin);
    layout->addWidget(icon_, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(title_, 0, 1);
    layout->addWidget(text_, 1, 1);

    expiry_.setSingleShot(true);
    connect(&expiry_, &QTimer::timeout, this, &NoticeWindow::clearNotice);
}

void NoticeWindow::showNotice(const QString& title, const QString& text, BalloonIconKind kind,
                              int timeoutSeconds) {
    const int iconSize = style()->pixelMetric(QStyle::PM_SmallIconSize);
    icon_->setVisible(kind != BalloonIconKind::None);
    icon_->setPixmap(style()->standardIcon(pixmapOf(kind)).pixmap(iconSize, iconSize));
    setWindowTitle(title); // how the window list names it
    title_->setText(title);
    title_->setVisible(!title.isEmpty());
    text_->setText(text);
    adjustSize();
    placeAtBottomRight();
    show();
    raise();
    expiry_.start((timeoutSeconds > 0 ? timeoutSeconds : DefaultSeconds) * 1000);
}

void NoticeWindow::clearNotice() {
    expiry_.stop();
    hide();
}

QString NoticeWindow::title() const {
    return title_->text();
}

QString NoticeWindow::text() const {
    return text_->text();
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
