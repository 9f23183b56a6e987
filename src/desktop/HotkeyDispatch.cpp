#include "desktop/HotkeyDispatch.h"

#include "config/AppSettings.h"
#include "desktop/TrayNotices.h"
#include "platform/GlobalHotkeys.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace koro {

const std::array<HotkeyDispatch::Row, 5> HotkeyDispatch::table = {{
    {"hotkey1", hotkey::ModControl, hotkey::KeyQ},
    {"hotkey2", 0, hotkey::KeyF9},
    {"hotkey3", 0, hotkey::KeyHome},
    {"hotkey4", 0, hotkey::KeyF8},
    {"hotkey5", 0, hotkey::KeyF7},
}};

HotkeyDispatch::HotkeyDispatch(GlobalHotkeys& hotkeys, AppSettings& settings, QAction& offSwitch,
                               TrayNotices& notices, HotkeyActions actions, QWidget& window,
                               QObject* parent)
    : QObject(parent)
    , m_hotkeys(hotkeys)
    , m_settings(settings)
    , m_offSwitch(offSwitch)
    , m_notices(notices)
    , m_actions(std::move(actions))
    , m_window(window) {
    qApp->installEventFilter(this);
    // Queued: an action may open a dialog, which must not run inside the key event itself.
    connect(&m_hotkeys, &GlobalHotkeys::hotKeyPressed, this, &HotkeyDispatch::onHotKey,
            Qt::QueuedConnection);
    connect(&m_offSwitch, &QAction::triggered, this, &HotkeyDispatch::MenuCloseHotKeyClick);
}

void HotkeyDispatch::start() {
    if (m_settings.useHotKey())
        RegisterAllHotKeys();
    else
        m_offSwitch.setChecked(true); // setChecked does not trigger: nothing is shown
}

void HotkeyDispatch::RegisterAllHotKeys() {
    // The same ids every time, so switching off and on again grabs the same keys. A key that
    // another program holds is skipped; the others still work.
    for (std::size_t i = 0; i < table.size(); ++i) {
        m_ids[i] = int(i) + 1;
        m_hotkeys.registerHotKey(m_ids[i], table[i].modifiers, table[i].virtualKey);
    }
}

void HotkeyDispatch::UnregisterAllHotKeys() {
    for (int id : m_ids)
        if (id != 0)
            m_hotkeys.unregisterHotKey(id);
}

void HotkeyDispatch::MenuCloseHotKeyClick() {
    if (m_offSwitch.isChecked()) {
        m_settings.UseHotKey = "0";
        UnregisterAllHotKeys();
        m_notices.ShowBalloonNotice(QStringLiteral("提示"), QStringLiteral("注意:快捷键已禁用!"),
                                    BalloonIconKind::Info, 3);
    } else {
        m_settings.UseHotKey = "1";
        RegisterAllHotKeys();
        m_notices.ShowBalloonNotice(QStringLiteral("提示"), QStringLiteral("启用快捷键!"),
                                    BalloonIconKind::Info, 3);
    }
}

bool HotkeyDispatch::isTextField(const QWidget* widget) {
    if (const auto* line = qobject_cast<const QLineEdit*>(widget))
        return !line->isReadOnly();
    if (const auto* text = qobject_cast<const QTextEdit*>(widget))
        return !text->isReadOnly();
    if (const auto* plain = qobject_cast<const QPlainTextEdit*>(widget))
        return !plain->isReadOnly();
    return qobject_cast<const QAbstractSpinBox*>(widget) != nullptr;
}

bool HotkeyDispatch::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return QObject::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    const auto* widget = static_cast<QWidget*>(watched);
    if (key->key() == Qt::Key_Home && !(key->modifiers() & ~Qt::KeypadModifier) &&
        widget->window() == &m_window && !isTextField(QApplication::focusWidget()) &&
        m_actions.toggleCompact) {
        m_actions.toggleCompact();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void HotkeyDispatch::onHotKey(std::uint16_t modifiers, std::uint16_t virtualKey) {
    // The grab took the key from the field the user types in: give it back.
    if (QWidget* field = QApplication::focusWidget();
        field && isTextField(field) && QApplication::activeWindow()) {
        const int key = virtualKey == hotkey::KeyQ     ? Qt::Key_Q
                        : virtualKey == hotkey::KeyHome ? Qt::Key_Home
                        : virtualKey == hotkey::KeyF7   ? Qt::Key_F7
                        : virtualKey == hotkey::KeyF8   ? Qt::Key_F8
                                                        : Qt::Key_F9;
        const Qt::KeyboardModifiers held =
            modifiers == hotkey::ModControl ? Qt::ControlModifier : Qt::NoModifier;
        QKeyEvent press(QEvent::KeyPress, key, held);
        QKeyEvent release(QEvent::KeyRelease, key, held);
        QApplication::sendEvent(field, &press);
        QApplication::sendEvent(field, &release);
        return;
    }
    // Only Ctrl+Q is told apart by its modifiers; the others by their key alone.
    const auto run = [](const std::function<void()>& action) {
        if (action)
            action();
    };
    if (modifiers == hotkey::ModControl && virtualKey == hotkey::KeyQ)
        run(m_actions.close);
    if (virtualKey == hotkey::KeyF9)
        run(m_actions.toggleHidden);
    if (virtualKey == hotkey::KeyHome)
        run(m_actions.toggleCompact);
    if (virtualKey == hotkey::KeyF8)
        run(m_actions.toggleMaximized);
    if (virtualKey == hotkey::KeyF7)
        run(m_actions.toggleMute);
}

} // namespace koro
