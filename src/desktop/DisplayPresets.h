#pragma once

#include <QObject>

#include <cstdint>

class QMenu;

namespace koro {

class DisplayModes;

// The screen-size presets of the top bar's menu.
class DisplayPresets : public QObject {
    Q_OBJECT
public:
    struct Preset {
        const char* item; // object name of the menu item
        std::uint16_t width;
        std::uint16_t height;
    };
    static const Preset presets[7];

    // Binds the preset items found in the menu; the menu must outlive nothing here.
    DisplayPresets(DisplayModes& display, QMenu& menu, QObject* parent = nullptr);

    // True when the display now runs at that size; a size it does not list changes nothing.
    bool SetDisplayResolution(std::uint16_t width, std::uint16_t height);

private:
    DisplayModes& m_display;
};

} // namespace koro
