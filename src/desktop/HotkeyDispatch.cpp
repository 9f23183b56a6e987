#include "desktop/HotkeyDispatch.h"

#include "config/AppSettings.h"
#include "desktop/TrayNotices.h"
#include "platform/GlobalHotkeys.h"

#include <QAction>

namespace koro {

const std::array<HotkeyDispatch::Row, 5> HotkeyDispatch::table = {{
    {"hotkey1", hotkey::ModControl, hotkey::KeyQ},
    {"hotkey2", 0, hotkey::KeyF9},
    {"hotkey3", 0, hotkey::KeyHome},
    {"hotkey4", 0, hotkey::KeyF8},
    {"hotkey5", 0, hotkey::KeyF7},
}};

HotkeyDispatch::HotkeyDispatch(GlobalHotkeys& hotkeys, AppSettings& settings, QAction& offSwitch,
                               TrayNotices& notices, HotkeyActions actions, QObject* parent)
    : QObject(parent)
    , m_hotkeys(hotkeys)
    , m_settings(settings)
    , m_offSwitch(offSwitch)
    , m_notices(notices)
    , m_actions(std::move(actions)) {
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

void HotkeyDispatch::onHotKey(std::uint16_t modifiers, std::uint16_t virtualKey) {
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
