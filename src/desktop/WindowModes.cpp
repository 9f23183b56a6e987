#include "desktop/WindowModes.h"

#include <QWidget>
#include <QWindow>
#include <QWindowStateChangeEvent>

namespace koro {

WindowModes::WindowModes(QWidget& window, WindowBars bars, QObject* parent)
    : QObject(parent)
    , m_window(window)
    , m_bars(bars)
    , m_dragLimit(window.maximumSize()) {
    m_window.installEventFilter(this);
}

void WindowModes::limitSize(bool maximised) {
    m_window.setMaximumSize(maximised ? QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX) : m_dragLimit);
}

bool WindowModes::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window && event->type() == QEvent::WindowStateChange) {
        const Qt::WindowStates now = m_window.windowState();
        const Qt::WindowStates before = static_cast<QWindowStateChangeEvent*>(event)->oldState();
        if (now & Qt::WindowMinimized)
            m_restoreMaximised = m_restoreMaximised || (before & Qt::WindowMaximized);
        else
            m_restoreMaximised = false;
        limitSize(now & (Qt::WindowMaximized | Qt::WindowFullScreen));
    }
    return QObject::eventFilter(watched, event);
}

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
    return !m_bars.separator->isVisibleTo(&m_window);
}

void WindowModes::ShowMainWindow() {
    // Hidden to the tray while minimised, the window may have lost its maximised state.
    if (m_window.isMinimized() || m_restoreMaximised) {
        Qt::WindowStates state = m_window.windowState() & ~Qt::WindowMinimized;
        if (m_restoreMaximised) {
            limitSize(true);
            state |= Qt::WindowMaximized;
        }
        m_window.setWindowState(state);
    }
    m_window.show();
    m_window.raise();
    m_window.activateWindow();
}

void WindowModes::HideMainWindow() {
    // A hidden top-level window has no taskbar entry; the tray icon is left alone.
    m_window.hide();
}

void WindowModes::ToggleMainWindowHidden() {
    if (m_window.isVisible())
        HideMainWindow();
    else
        ShowMainWindow();
}

void WindowModes::ToggleMaximized() {
    // Both calls also show a hidden window, as the operation is meant to.
    if (m_window.isMaximized()) {
        m_window.showNormal();
    } else {
        // The size limit would keep the window from filling a large screen.
        limitSize(true);
        m_window.showMaximized();
    }
}

void WindowModes::ToggleCompactMode() {
    if (!isCompact()) {
        m_window.setWindowTitle(withCompactSuffix(m_window.windowTitle()));
        m_bars.navigation->hide();
        m_bars.separator->hide();
        m_bars.top->hide();
    } else {
        m_window.setWindowTitle(withoutCompactSuffix(m_window.windowTitle()));
        m_bars.top->show();
        m_bars.separator->show();
        m_bars.navigation->show();
    }
}

void WindowModes::SetAlwaysOnTop(bool on) {
    // The widget keeps the flag too: the page engine recreates the native window once its
    // rendering surface appears, and the new window takes the widget's flags. Neither call
    // recreates the window itself, so it does not move or flicker.
    Qt::WindowFlags flags = m_window.windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, on);
    m_window.overrideWindowFlags(flags);
    m_window.winId(); // makes the native window if there is none yet
    m_window.windowHandle()->setFlags(flags);
}

} // namespace koro
