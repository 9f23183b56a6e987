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
    connect(&icon_, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason r) {
        if (r == QSystemTrayIcon::DoubleClick)
            emit doubleClicked();
    });
}

void LinuxTrayIcon::setIcon(const QIcon& icon) {
    icon_.setIcon(icon);
}

void LinuxTrayIcon::setToolTip(const QString& tip) {
    icon_.setToolTip(tip);
}

void LinuxTrayIcon::setContextMenu(QMenu* menu) {
    icon_.setContextMenu(menu);
}

void LinuxTrayIcon::setVisible(bool visible) {
    icon_.setVisible(visible);
}

bool LinuxTrayIcon::isVisible() const {
    return icon_.isVisible();
}

bool LinuxTrayIcon::isAvailable() const {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool LinuxTrayIcon::showBalloonNotice(const QString& title, const QString& text,
                                      BalloonIconKind kind, int timeoutSeconds) {
    if (!icon_.isVisible() || !isAvailable() || !QSystemTrayIcon::supportsMessages())
        return false;
    clearBalloonNotice();
    icon_.showMessage(title, text, messageIcon(kind), std::max(0, timeoutSeconds) * 1000);
    return true;
}

void LinuxTrayIcon::clearBalloonNotice() {
    // An empty message takes the shown balloon down without putting up another.
    icon_.showMessage(QString(), QString(), QSystemTrayIcon::NoIcon, 0);
}

QRect LinuxTrayIcon::geometry() const {
    return icon_.geometry();
}

} // namespace koro
