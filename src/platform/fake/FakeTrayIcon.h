#pragma once

#include "platform/TrayIcon.h"

#include <QList>
#include <QMenu>
#include <QPointer>

namespace koro {

class FakeTrayIcon : public TrayIcon {
    Q_OBJECT
public:
    struct Notice {
        QString title;
        QString text;
        BalloonIconKind kind = BalloonIconKind::None;
        int seconds = 0;
    };
    using TrayIcon::TrayIcon;

    QIcon icon;
    QString toolTip;
    QPointer<QMenu> menu;
    bool visible = false;
    bool available = true; // whether a tray host "runs"
    // Every showBalloonNotice call; it answers `visible`, as a hidden icon shows nothing.
    QList<Notice> notices;
    int clears = 0;
    QRect geometryValue; // what geometry() answers; empty = the host does not tell

    void setIcon(const QIcon& i) override { icon = i; }
    void setToolTip(const QString& tip) override { toolTip = tip; }
    void setContextMenu(QMenu* m) override { menu = m; }
    void setVisible(bool v) override { visible = v; }
    bool isVisible() const override { return visible; }
    bool isAvailable() const override { return available; }
    bool showBalloonNotice(const QString& title, const QString& text, BalloonIconKind kind,
                           int timeoutSeconds) override;
    void clearBalloonNotice() override { ++clears; }
    QRect geometry() const override { return geometryValue; }

    void fireDoubleClick() { emit doubleClicked(); }
};

} // namespace koro
