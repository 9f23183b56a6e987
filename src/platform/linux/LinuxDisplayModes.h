#pragma once

#include "platform/DisplayModes.h"

namespace koro {

// XRandR on Qt's X connection: moves the primary output's CRTC to a mode the output lists
// with exactly the asked size, resizing the screen around it. Off X11 every request fails.
class LinuxDisplayModes : public DisplayModes {
public:
    bool setResolution(std::uint16_t width, std::uint16_t height) override;
    QSize resolution() const override;
};

} // namespace koro
