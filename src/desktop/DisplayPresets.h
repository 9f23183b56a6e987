#pragma once

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QSize>

#include <cstdint>

class QAction;
class QMenu;
class QWidget;

namespace koro {

class DisplayModes;

// The screen-size presets of the top bar's menu. The preset the screen runs at is marked; after
// a switch the window is kept wholly on the new screen; when the program ends the screen gets
// back the size it had before the program first changed it.
class DisplayPresets : public QObject {
    Q_OBJECT
public:
    struct Preset {
        const char* item; // object name of the menu item
        std::uint16_t width;
        std::uint16_t height;
    };
    static const Preset presets[7];

    // Binds the preset items found in the menu.
    DisplayPresets(DisplayModes& display, QMenu& menu, QWidget& window, QObject* parent = nullptr);
    ~DisplayPresets() override;

    // True when the display now runs at that size; a size it does not list changes nothing.
    bool SetDisplayResolution(std::uint16_t width, std::uint16_t height);
    // Checks the item of the size the display runs at, and only that one.
    void markCurrent();

private:
    void keepWindowOn(const QRect& area);

    DisplayModes& m_display;
    QWidget& m_window;
    QList<QPair<QAction*, QSize>> m_items;
    QSize m_original; // before the first change; empty until then
};

} // namespace koro
