#pragma once

namespace koro {

// Per-process suspension, so a crash can never leave the desktop's screen saver off.
class ScreenSaver {
public:
    virtual ~ScreenSaver() = default;
    virtual void setActive(bool active) = 0;
};

} // namespace koro
