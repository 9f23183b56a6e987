#pragma once

#include <QIcon>
#include <QObject>
#include <QRect>
#include <QString>

class QMenu;

namespace koro {

enum class BalloonIconKind { None = 0, Info = 1, Warning = 2, Error = 3 };

// The notification-area icon with its tooltip, menu and balloon notices.
class TrayIcon : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    virtual void setIcon(const QIcon& icon) = 0;
    virtual void setToolTip(const QString& tip) = 0;
    virtual void setContextMenu(QMenu* menu) = 0;
    virtual void setVisible(bool visible) = 0;
    virtual bool isVisible() const = 0;
    // False while no tray host runs: balloons would then go nowhere.
    virtual bool isAvailable() const = 0;
    // Removes the notice still shown, then shows this one.
    virtual bool showBalloonNotice(const QString& title, const QString& text, BalloonIconKind kind,
                                   int timeoutSeconds) = 0;
    virtual void clearBalloonNotice() = 0;
    // Where the icon sits on screen; an empty rectangle when the host does not tell.
    virtual QRect geometry() const = 0;

signals:
    void doubleClicked();
};

} // namespace koro
