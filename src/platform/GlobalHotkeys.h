#pragma once

#include <QObject>
#include <cstdint>

namespace koro {

// Hotkey modifiers and virtual keys use the values of the hotkey table (MOD_CONTROL = 2,
// VK_F9 = 0x78, ...); each backend maps them to its own key codes.
namespace hotkey {
inline constexpr std::uint16_t ModControl = 0x0002;
inline constexpr std::uint16_t KeyQ = 0x51;
inline constexpr std::uint16_t KeyHome = 0x24;
inline constexpr std::uint16_t KeyF7 = 0x76;
inline constexpr std::uint16_t KeyF8 = 0x77;
inline constexpr std::uint16_t KeyF9 = 0x78;
} // namespace hotkey

class GlobalHotkeys : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // False when another program holds the key; the id is kept for unregister either way.
    virtual bool registerHotKey(int id, std::uint16_t modifiers, std::uint16_t virtualKey) = 0;
    virtual void unregisterHotKey(int id) = 0;

signals:
    void hotKeyPressed(std::uint16_t modifiers, std::uint16_t virtualKey);
};

} // namespace koro
