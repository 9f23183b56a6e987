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
    , hotkeys_(hotkeys)
    , settings_(settings)
    , offSwitch_(offSwitch)
    , notices_(notices)
    , actions_(std::move(actions)) {
    // Queued: an action may open a dialog, which must not run inside the key event itself.
    connect(&hotkeys_, &GlobalHotkeys::hotKeyPressed, this, &HotkeyDispatch::onHotKey,
            Qt::QueuedConnection);
    connect(&offSwitch_, &QAction::triggered, this, &HotkeyDispatch::MenuCloseHotKeyClick);
}

void HotkeyDispatch::start() {
    if (settings_.useHotKey())
        RegisterAllHotKeys();
    else
        offSwitch_.setChecked(true); // setChecked does not trigger: nothing is shown
}

void HotkeyDispatch::RegisterAllHotKeys() {
    // The same ids every time, so switching off and on again grabs the same keys. A key that
    // another program holds is skipped; the others still work.
    for (std::size_t i = 0; i < table.size(); ++i) {
        ids_[i] = int(i) + 1;
        hotkeys_.registerHotKey(ids_[i], table[i].modifiers, table[i].virtualKey);
    }
}

void HotkeyDispatch::UnregisterAllHotKeys() {
    for (int id : ids_)
        if (id != 0)
            hotkeys_.unregisterHotKey(id);
}

void HotkeyDispatch::MenuCloseHotKeyClick() {
    if (offSwitch_.isChecked()) {
        settings_.UseHotKey = "0";
        UnregisterAllHotKeys();
        notices_.ShowBalloonNotice(QStringLiteral("提示"), QStringLiteral("注意:快捷键已禁用!"),
                                   BalloonIconKind::Info, 3);
    } else {
        settings_.UseHotKey = "1";
        RegisterAllHotKeys();
        notices_.ShowBalloonNotice(QStringLiteral("提示"), QStringLiteral("启用快捷键!"),
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
        run(actions_.close);
    if (virtualKey == hotkey::KeyF9)
        run(actions_.toggleHidden);
    if (virtualKey == hotkey::KeyHome)
        run(actions_.toggleCompact);
    if (virtualKey == hotkey::KeyF8)
        run(actions_.toggleMaximized);
    if (virtualKey == hotkey::KeyF7)
        run(actions_.toggleMute);
}

} // namespace koro
