#include "desktop/WindowModes.h"

#include <QWidget>
#include <QWindow>

namespace koro {

WindowModes::WindowModes(QWidget& window, WindowBars bars, QObject* parent)
    : QObject(parent)
    , window_(window)
    , bars_(bars) {}

QString WindowModes::compactSuffix() {
    return QString(17, QLatin1Char(' ')) + QStringLiteral("Home键返回全功能模式");
}

QString WindowModes::withCompactSuffix(const QString& caption) {
    return caption + compactSuffix();
}

QString WindowModes::withoutCompactSuffix(QString caption) {
    return caption.replace(compactSuffix(), QString(), Qt::CaseSensitive);
}

bool WindowModes::isCompact() const {
    return !bars_.separator->isVisibleTo(&window_);
}

void WindowModes::ShowMainWindow() {
    if (window_.isMinimized())
        window_.setWindowState(window_.windowState() & ~Qt::WindowMinimized);
    window_.show();
    window_.raise();
    window_.activateWindow();
}

void WindowModes::HideMainWindow() {
    // A hidden top-level window has no taskbar entry; the tray icon is left alone.
    window_.hide();
}

void WindowModes::ToggleMainWindowHidden() {
    if (window_.isVisible())
        HideMainWindow();
    else
        ShowMainWindow();
}

void WindowModes::ToggleMaximized() {
    // Both calls also show a hidden window, as the operation is meant to.
    if (window_.isMaximized())
        window_.showNormal();
    else
        window_.showMaximized();
}

void WindowModes::ToggleCompactMode() {
    if (!isCompact()) {
        window_.setWindowTitle(withCompactSuffix(window_.windowTitle()));
        bars_.navigation->hide();
        bars_.separator->hide();
        bars_.top->hide();
    } else {
        window_.setWindowTitle(withoutCompactSuffix(window_.windowTitle()));
        bars_.top->show();
        bars_.separator->show();
        bars_.navigation->show();
    }
}

void WindowModes::SetAlwaysOnTop(bool on) {
    // The widget keeps the flag too: the page engine recreates the native window once its
    // rendering surface appears, and the new window takes the widget's flags. Neither call
    // recreates the window itself, so it does not move or flicker.
    Qt::WindowFlags flags = window_.windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    window_.overrideWindowFlags(flags);
    window_.winId(); // makes the native window if there is none yet
    window_.windowHandle()->setFlags(flags);
}

} // namespace koro
