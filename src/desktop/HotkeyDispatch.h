#pragma once

#include <QObject>

#include <array>
#include <cstdint>
#include <functional>

class QAction;
class QWidget;

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

    // Home in window itself always switches compact mode, whether the keys are grabbed or not,
    // so the user cannot be locked in it.
    HotkeyDispatch(GlobalHotkeys& hotkeys, AppSettings& settings, QAction& offSwitch,
                   TrayNotices& notices, HotkeyActions actions, QWidget& window,
                   QObject* parent = nullptr);

    // At start: UseHotKey "1" registers, anything else only sets the check mark.
    void start();
    void RegisterAllHotKeys();
    void UnregisterAllHotKeys();
    // Runs after the click has toggled the check mark.
    void MenuCloseHotKeyClick();
    // A key typed while one of the program's text fields has the focus goes to the field.
    void onHotKey(std::uint16_t modifiers, std::uint16_t virtualKey);

    // Whether the widget takes typed text, so the keys must edit it rather than act.
    static bool isTextField(const QWidget* widget);

    const std::array<int, 5>& hotKeyIds() const { return m_ids; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;


private:
    GlobalHotkeys& m_hotkeys;
    AppSettings& m_settings;
    QAction& m_offSwitch;
    TrayNotices& m_notices;
    HotkeyActions m_actions;
    QWidget& m_window;
    std::array<int, 5> m_ids{}; // 0 until the first registration
};

} // namespace koro
