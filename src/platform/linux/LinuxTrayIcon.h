#pragma once

#include "platform/TrayIcon.h"

#include <QSystemTrayIcon>

namespace koro {

class LinuxTrayIcon : public TrayIcon {
    Q_OBJECT
public:
    explicit LinuxTrayIcon(QObject* parent = nullptr);

    void setIcon(const QIcon& icon) override;
    void setToolTip(const QString& tip) override;
    void setContextMenu(QMenu* menu) override;
    void setVisible(bool visible) override;
    bool isVisible() const override;
    bool isAvailable() const override;
    bool showBalloonNotice(const QString& title, const QString& text, BalloonIconKind kind,
                           int timeoutSeconds) override;
    void clearBalloonNotice() override;
    QRect geometry() const override;

private:
    QSystemTrayIcon m_icon;
};

} // namespace koro
