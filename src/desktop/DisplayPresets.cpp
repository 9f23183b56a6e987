#include "desktop/DisplayPresets.h"

#include "platform/DisplayModes.h"

#include <QAction>
#include <QMenu>

namespace koro {

const DisplayPresets::Preset DisplayPresets::presets[7] = {
    {"Pop2800600", 800, 600},   {"Pop210247681", 1024, 768},   {"Pop211528641", 1152, 864},
    {"N12808001", 1280, 800},   {"Pop2128010241", 1280, 1024}, {"N14409001", 1440, 900},
    {"N168010501", 1680, 1050},
};

DisplayPresets::DisplayPresets(DisplayModes& display, QMenu& menu, QObject* parent)
    : QObject(parent)
    , m_display(display) {
    for (QAction* action : menu.actions()) {
        for (const Preset& preset : presets) {
            if (action->objectName() != QLatin1String(preset.item))
                continue;
            // A refused size is not reported: the screen simply stays as it was.
            connect(action, &QAction::triggered, this,
                    [this, preset] { SetDisplayResolution(preset.width, preset.height); });
        }
    }
}

bool DisplayPresets::SetDisplayResolution(std::uint16_t width, std::uint16_t height) {
    return m_display.setResolution(width, height);
}

} // namespace koro
