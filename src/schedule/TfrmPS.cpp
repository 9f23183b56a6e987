#include "schedule/TfrmPS.h"

#include "config/FormTimer.h"
#include "schedule/ScheduleResources.h"
#include "ui_TfrmPS.h"

#include <QBitmap>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QScreen>

namespace koro {

namespace {
// The tail's tip in the picture.
constexpr QPoint TailTip(220, 125);
} // namespace

QRect reminderGeometry(const QRect& trayIcon, const QRect& screen, const QRect& workArea) {
    QRect r(QPoint(0, 0), TfrmPS::Size);
    if (trayIcon.isValid()) {
        // The tip rests a few pixels inside the icon's top edge, at its middle.
        r.moveTopLeft(QPoint(trayIcon.center().x(), trayIcon.top() + 7) - TailTip);
    } else {
        r.moveBottomRight(workArea.bottomRight());
    }
    if (r.right() > screen.right())
        r.moveRight(screen.right());
    if (r.bottom() > screen.bottom())
        r.moveBottom(screen.bottom());
    if (r.left() < screen.left())
        r.moveLeft(screen.left());
    if (r.top() < screen.top())
        r.moveTop(screen.top());
    return r;
}

TfrmPS::TfrmPS(const QRect& trayIcon, const std::function<void(QWidget*)>& applyLanguage)
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
    , m_ui(std::make_unique<Ui::TfrmPS>()) {
    initScheduleResources();
    m_ui->setupUi(this);
    setAttribute(Qt::WA_DeleteOnClose);

    const QPixmap bubble(QStringLiteral(":/images/schedule/bubble.svg"));
    m_ui->Image1->setPixmap(bubble);
    setFixedSize(Size);
    // White is see-through: only the bubble and its controls are seen.
    setMask(QBitmap::fromImage(
        bubble.toImage().createMaskFromColor(qRgb(255, 255, 255), Qt::MaskInColor)));
    m_ui->SpeedBtnClose->setIcon(QIcon(QStringLiteral(":/images/schedule/close.svg")));

    QFont font = m_ui->RichEdit1->font();
    font.setFamily(QStringLiteral("宋体"));
    font.setPixelSize(12);
    m_ui->RichEdit1->setFont(font);

    connect(m_ui->ButtonOk, &QPushButton::clicked, this, &TfrmPS::ButtonOkClick);
    connect(m_ui->ButtonCancel, &QPushButton::clicked, this, &TfrmPS::ButtonCancelClick);
    connect(m_ui->SpeedBtnClose, &QToolButton::clicked, this, &TfrmPS::SpeedBtnCloseClick);
    setUpFormTimer(m_timer1, this, "Timer1", std::chrono::milliseconds(AutoWatchMs),
                   &TfrmPS::Timer1Timer);
    m_timer1.setSingleShot(true);
    m_timer1.start();

    const QScreen* screen =
        trayIcon.isValid() ? QGuiApplication::screenAt(trayIcon.center()) : nullptr;
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect whole = screen ? screen->geometry() : QRect(QPoint(0, 0), Size);
    const QRect workArea = screen ? screen->availableGeometry() : whole;
    setGeometry(reminderGeometry(trayIcon, whole, workArea));
    if (applyLanguage)
        applyLanguage(this);
}

TfrmPS::~TfrmPS() = default;

void TfrmPS::setReminder(const QString& text, const QString& channelUrl) {
    m_ui->RichEdit1->setPlainText(text);
    m_ui->ButtonOk->setProperty("hint", channelUrl);
}

QString TfrmPS::channelUrl() const {
    return m_ui->ButtonOk->property("hint").toString();
}

void TfrmPS::ButtonOkClick() {
    const QString url = channelUrl();
    close();
    emit watchRequested(url);
}

void TfrmPS::ButtonCancelClick() {
    close();
}

void TfrmPS::SpeedBtnCloseClick() {
    close();
}

void TfrmPS::Timer1Timer() {
    ButtonOkClick();
}

void TfrmPS::closeEvent(QCloseEvent* event) {
    m_timer1.stop();
    if (!m_closed) {
        m_closed = true;
        emit closing(m_ui->CheckBox1->isChecked());
    }
    event->accept();
}

} // namespace koro
