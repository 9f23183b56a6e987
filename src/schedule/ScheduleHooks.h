#pragma once

#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>

#include <functional>

namespace koro {

// What the scheduled tasks need of the main window, so they depend on nothing else of it.
// Any hook may be empty; the task then skips that step.
struct ScheduleHooks {
    // A "Koro提示"-style information balloon at the tray icon.
    std::function<void(const QString& title, const QString& text)> notice;
    // Takes down the balloon still shown, which would cover the reminder at the tray.
    std::function<void()> clearNotice;
    // The tray icon's place on screen; empty when unknown.
    std::function<QRect()> trayIconGeometry;
    std::function<bool()> mainWindowVisible;
    std::function<void()> showMainWindow;
    // Opens an address in the main page area.
    std::function<void(const QString& url)> navigate;
    // Sets a new window's texts from the language file.
    std::function<void(QWidget* form)> applyLanguage;
    // Dialogs are centred on it.
    QPointer<QWidget> mainWindow;
};

// The title of the schedule's notices; data: users and the tests recognise the notices by it.
inline constexpr char NoticeTitle[] = "Koro提示";

} // namespace koro
