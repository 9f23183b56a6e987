#include "desktop/TrayNotices.h"

#include "config/CodePage.h"
#include "desktop/NoticeWindow.h"
#include "desktop/WindowModes.h"

#include <QApplication>
#include <QEvent>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QWidget>

#include <algorithm>

namespace koro {

QString cutToCodePageBytes(const QString& text, int maxBytes) {
    int bytes = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const qsizetype length = (text.at(end).isHighSurrogate() && end + 1 < text.size()) ? 2 : 1;
        const int size = int(codepage::fromUnicode(text.mid(end, length)).size());
        if (bytes + size > maxBytes)
            break;
        bytes += size;
        end += length;
    }
    return text.left(end);
}

QPoint iconCursorOffset(QPoint clientPoint, int captionHeight) {
    const int cell = (captionHeight - 3) + 2;
    if (cell <= 0)
        return {-1, -1};
    return {clientPoint.x() % cell - 1, clientPoint.y() % cell - 1};
}

TrayNotices::TrayNotices(TrayIcon* tray, QWidget& window, WindowModes& modes, QMenu* trayMenu,
                         QObject* parent)
    : QObject(parent)
    , m_tray(tray)
    , m_window(window)
    , m_modes(modes)
    , m_fallback(std::make_unique<NoticeWindow>()) {
    m_window.installEventFilter(this);
    if (!m_tray)
        return;
    m_tray->setObjectName("CoolTrayIcon1");
    m_tray->setIcon(QIcon(":/images/app/tray.svg"));
    setToolTip(QStringLiteral("Koro高清"));
    m_tray->setContextMenu(trayMenu);
    connect(m_tray, &TrayIcon::doubleClicked, &m_modes, &WindowModes::ToggleMainWindowHidden);
    m_tray->setVisible(true);
}

TrayNotices::~TrayNotices() {
    m_window.removeEventFilter(this);
}

void TrayNotices::setToolTip(const QString& tip) {
    if (m_tray)
        m_tray->setToolTip(cutToCodePageBytes(tip, TipBytes));
}

bool TrayNotices::trayWorks() const {
    return m_tray && m_tray->isVisible() && m_tray->isAvailable();
}

bool TrayNotices::ShowBalloonNotice(const QString& title, const QString& text, BalloonIconKind kind,
                                    int timeoutSeconds) {
    ClearBalloonNotice();
    const QString shortTitle = cutToCodePageBytes(title, TitleBytes);
    // The notices end their lines with a lone CR, which would show as a blank.
    QString shortText = cutToCodePageBytes(text, TextBytes);
    shortText.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(u'\r', u'\n');
    const int seconds = std::clamp(timeoutSeconds, 0, 255);
    if (trayWorks())
        return m_tray->showBalloonNotice(shortTitle, shortText, kind, seconds);
    m_fallback->showNotice(shortTitle, shortText, kind, seconds);
    return false;
}

void TrayNotices::ClearBalloonNotice() {
    if (trayWorks())
        m_tray->clearBalloonNotice();
    m_fallback->clearNotice();
}

QRect TrayNotices::trayIconGeometry() const {
    if (m_tray) {
        const QRect rect = m_tray->geometry();
        if (rect.isValid() && !rect.isEmpty())
            return rect;
    }
    const QScreen* screen = QApplication::primaryScreen();
    if (!screen)
        return {};
    const QRect area = screen->availableGeometry();
    const int cell = QApplication::style()->pixelMetric(QStyle::PM_SmallIconSize);
    return {area.right() - cell + 1, area.bottom() - cell + 1, cell, cell};
}

QPoint TrayNotices::IconCursorOffset(QPoint screenPoint) const {
    // Outside our own windows the point is taken on the desktop, whose client area is the
    // whole screen.
    QPoint client = screenPoint;
    if (const QWidget* under = QApplication::widgetAt(screenPoint))
        client = under->window()->mapFromGlobal(screenPoint);
    return iconCursorOffset(client, QApplication::style()->pixelMetric(QStyle::PM_TitleBarHeight));
}

bool TrayNotices::eventFilter(QObject* watched, QEvent* event) {
    // Without a tray there would be no icon to bring the window back from: it then minimises
    // to the taskbar.
    if (watched == &m_window && event->type() == QEvent::WindowStateChange && m_minimizeToTray &&
        trayWorks() && m_window.isMinimized() && m_window.isVisible()) {
        // Hiding inside the state change would confuse the window manager's own bookkeeping.
        QTimer::singleShot(0, this, [this] {
            if (!m_window.isMinimized())
                return;
            m_modes.HideMainWindow();
            if (m_tray)
                m_tray->setVisible(true);
        });
    }
    return QObject::eventFilter(watched, event);
}

} // namespace koro
