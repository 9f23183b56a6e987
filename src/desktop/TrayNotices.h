#pragma once

#include "platform/TrayIcon.h"

#include <QPointer>
#include <QRect>

#include <memory>

class QMenu;
class QWidget;

namespace koro {

class NoticeWindow;
class WindowModes;

// The longest prefix of text that takes at most maxBytes in the system code page; a character
// is never split.
QString cutToCodePageBytes(const QString& text, int maxBytes);

// Where a screen point falls in the grid of caption-high cells of the window under it.
// Remainders keep the sign of the client coordinate.
QPoint iconCursorOffset(QPoint clientPoint, int captionHeight);

// The tray icon with its menu and balloon notices, and minimise-to-tray for the main window.
// Where no tray host runs, notices appear in a small window of our own instead.
class TrayNotices : public QObject {
    Q_OBJECT
public:
    static constexpr int TipBytes = 127;
    static constexpr int TitleBytes = 63;
    static constexpr int TextBytes = 255;

    // tray may be empty (then every notice takes the fallback window); the main window is
    // watched for minimising.
    TrayNotices(TrayIcon* tray, QWidget& window, WindowModes& modes, QMenu* trayMenu,
                QObject* parent = nullptr);
    ~TrayNotices() override;

    void setToolTip(const QString& tip);

    // Removes the notice still shown, then shows this one; false when it went to the
    // fallback window or the icon refused it.
    bool ShowBalloonNotice(const QString& title, const QString& text, BalloonIconKind kind,
                           int timeoutSeconds);
    void ClearBalloonNotice();

    void setMinimizeToTray(bool on) { m_minimizeToTray = on; }
    bool minimizeToTray() const { return m_minimizeToTray; }

    // The icon on screen; when the host does not tell, a cell at the bottom right of the
    // screen, where trays usually sit.
    QRect trayIconGeometry() const;
    QPoint IconCursorOffset(QPoint screenPoint) const;

    NoticeWindow& fallbackWindow() const { return *m_fallback; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool trayWorks() const;

    QPointer<TrayIcon> m_tray;
    QWidget& m_window;
    WindowModes& m_modes;
    std::unique_ptr<NoticeWindow> m_fallback;
    bool m_minimizeToTray = true;
};

} // namespace koro
