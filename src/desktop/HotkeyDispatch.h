#pragma once

#include <QObject>

#include <array>
#include <cstdint>
#include <functional>

class QAction;

namespace koro {

class GlobalHotkeys;
class TrayNotices;
struct AppSettings;

// What the five system-wide keys do.
struct HotkeyActions {
    std::function<void()> close;           // Ctrl+Q: the normal close path
    std::function<void()> toggleHidden;    // F9
    std::function<void()> toggleCompact;   // Home
    std::function<void()> toggleMaximized; // F8
    std::function<void()> toggleMute;      // F7
};

// Registers the five keys, turns their presses into actions, and switches them off and on
// from the menu item whose check mark means "off".
class HotkeyDispatch : public QObject {
    Q_OBJECT
public:
    struct Row {
        const char* atom;
        std::uint16_t modifiers;
        std::uint16_t virtualKey;
    };
    static const std::array<Row, 5> table;

    HotkeyDispatch(GlobalHotkeys& hotkeys, AppSettings& settings, QAction& offSwitch,
                   TrayNotices& notices, HotkeyActions actions, QObject* parent = nullptr);

    // At start: UseHotKey "1" registers, anything else only sets the check mark.
    void start();
    void RegisterAllHotKeys();
    void UnregisterAllHotKeys();
    // Runs after the click has toggled the check mark.
    void MenuCloseHotKeyClick();
    void onHotKey(std::uint16_t modifiers, std::uint16_t virtualKey);

    const std::array<int, 5>& hotKeyIds() const { return m_ids; }

private:
    GlobalHotkeys& m_hotkeys;
    AppSettings& m_settings;
    QAction& m_offSwitch;
    TrayNotices& m_notices;
    HotkeyActions m_actions;
    std::array<int, 5> m_ids{}; // 0 until the first registration
};

} // namespace koro
