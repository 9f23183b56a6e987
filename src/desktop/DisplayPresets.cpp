#include "desktop/DisplayPresets.h"

#include "platform/DisplayModes.h"

#include <QAction>
#include <QMenu>
#include <QScreen>
#include <QWidget>

namespace koro {

const DisplayPresets::Preset DisplayPresets::presets[7] = {
    {"Pop2800600", 800, 600},   {"Pop210247681", 1024, 768},   {"Pop211528641", 1152, 864},
    {"N12808001", 1280, 800},   {"Pop2128010241", 1280, 1024}, {"N14409001", 1440, 900},
    {"N168010501", 1680, 1050},
};

DisplayPresets::DisplayPresets(DisplayModes& display, QMenu& menu, QWidget& window,
                               QObject* parent)
    : QObject(parent)
    , m_display(display)
    , m_window(window) {
    for (QAction* action : menu.actions()) {
        for (const Preset& preset : presets) {
            if (action->objectName() != QLatin1String(preset.item))
                continue;
            action->setCheckable(true);
            m_items.append({action, QSize(preset.width, preset.height)});
            // A refused size is not reported: the screen simply stays as it was.
            connect(action, &QAction::triggered, this, [this, preset] {
                SetDisplayResolution(preset.width, preset.height);
                markCurrent(); // a click toggled the mark, whatever happened
            });
        }
    }
    connect(&menu, &QMenu::aboutToShow, this, &DisplayPresets::markCurrent);
}

DisplayPresets::~DisplayPresets() {
    if (m_original.isValid() && m_display.resolution() != m_original)
        m_display.setResolution(std::uint16_t(m_original.width()),
                                std::uint16_t(m_original.height()));
}

bool DisplayPresets::SetDisplayResolution(std::uint16_t width, std::uint16_t height) {
    const QSize before = m_display.resolution();
    if (!m_display.setResolution(width, height))
        return false;
    if (!m_original.isValid())
        m_original = before;
    // The toolkit learns the new screen a moment later: until then the asked size bounds the
    // window, then the new work area (panels taken off) does.
    QScreen* screen = m_window.screen();
    keepWindowOn(QRect(screen ? screen->geometry().topLeft() : QPoint(), QSize(width, height)));
    if (screen)
        connect(
            screen, &QScreen::availableGeometryChanged, this,
            [this](const QRect& available) { keepWindowOn(available); }, Qt::SingleShotConnection);
    return true;
}

void DisplayPresets::markCurrent() {
    const QSize now = m_display.resolution();
    for (const auto& [action, size] : std::as_const(m_items))
        action->setChecked(size == now);
}

void DisplayPresets::keepWindowOn(const QRect& area) {
    if (m_window.isMaximized() || m_window.isFullScreen())
        return; // the window manager fits those itself
    const QRect frame = m_window.frameGeometry();
    const QSize decoration = frame.size() - m_window.size();
    const QSize fitted = m_window.size().boundedTo(area.size() - decoration);
    if (fitted != m_window.size())
        m_window.resize(fitted);
    QRect moved(frame.topLeft(), fitted + decoration);
    moved.moveRight(std::min(moved.right(), area.right()));
    moved.moveBottom(std::min(moved.bottom(), area.bottom()));
    moved.moveLeft(std::max(moved.left(), area.left()));
    moved.moveTop(std::max(moved.top(), area.top()));
    m_window.move(moved.topLeft());
}

} // namespace koro
