#pragma once

#include "platform/ScreenSaver.h"

namespace koro {

// XScreenSaverSuspend on Qt's own X connection: the server lifts the suspension when the
// connection closes, so a crash cannot leave the screen saver off. Does nothing off X11.
class LinuxScreenSaver : public ScreenSaver {
public:
    LinuxScreenSaver() = default;
    ~LinuxScreenSaver() override;
    LinuxScreenSaver(const LinuxScreenSaver&) = delete;
    LinuxScreenSaver& operator=(const LinuxScreenSaver&) = delete;

    void setActive(bool active) override;

private:
    // The server counts suspensions per client; keep at most one outstanding.
    bool m_suspended = false;
};

} // namespace koro
