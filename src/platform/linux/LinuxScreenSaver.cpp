#include "platform/linux/LinuxScreenSaver.h"

#include "platform/linux/X11Connection.h"

#include <X11/Xlib.h>
#include <X11/extensions/scrnsaver.h>

namespace koro {

namespace {
bool suspend(bool on) {
    Display* display = x11::displayWith(XScreenSaverQueryExtension);
    if (!display)
        return false;
    XScreenSaverSuspend(display, on ? True : False);
    XFlush(display);
    return true;
}
} // namespace

LinuxScreenSaver::~LinuxScreenSaver() {
    if (m_suspended)
        suspend(false);
}

void LinuxScreenSaver::setActive(bool active) {
    if (active == !m_suspended)
        return;
    if (suspend(!active))
        m_suspended = !active;
}

} // namespace koro
