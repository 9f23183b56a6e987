#include "platform/linux/LinuxTrayIcon.h"

namespace koro {

namespace {
QSystemTrayIcon::MessageIcon messageIcon(BalloonIconKind kind) {
    switch (kind) {
    case BalloonIconKind::Info:
        return QSystemTrayIcon::Information;
    case BalloonIconKind::Warning:
        return QSystemTrayIcon::Warning;
    case BalloonIconKind::Error:
        return QSystemTrayIcon::Critical;
    case BalloonIconKind::None:
        break;
    }
    return QSystemTrayIcon::NoIcon;
}
} // namespace

LinuxTrayIcon::LinuxTrayIcon(QObject* parent)
    : TrayIcon(parent) {
    connect(&m_icon, &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason r) {
                if (r == QSystemTrayIcon::DoubleClick)
                    emit doubleClicked();
            });
}

void LinuxTrayIcon::setIcon(const QIcon& icon) {
    m_icon.setIcon(icon);
}

void LinuxTrayIcon::setToolTip(const QString& tip) {
    m_icon.setToolTip(tip);
}

void LinuxTrayIcon::setContextMenu(QMenu* menu) {
    m_icon.setContextMenu(menu);
}

void LinuxTrayIcon::setVisible(bool visible) {
    m_icon.setVisible(visible);
}

bool LinuxTrayIcon::isVisible() const {
    return m_icon.isVisible();
}

bool LinuxTrayIcon::isAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool LinuxTrayIcon::showBalloonNotice(const QString& title, const QString& text,
                                      BalloonIconKind kind, int timeoutSeconds) {
    if (!m_icon.isVisible() || !isAvailable() || !QSystemTrayIcon::supportsMessages())
        return false;
    clearBalloonNotice();
    m_icon.showMessage(title, text, messageIcon(kind), std::max(0, timeoutSeconds) * 1000);
    return true;
}

void LinuxTrayIcon::clearBalloonNotice() {
    // An empty message takes the shown balloon down without putting up another.
    m_icon.showMessage(QString(), QString(), QSystemTrayIcon::NoIcon, 0);
}

QRect LinuxTrayIcon::geometry() const {
    return m_icon.geometry();
}

} // namespace koro
