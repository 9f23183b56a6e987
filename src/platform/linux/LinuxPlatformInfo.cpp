#include "platform/linux/LinuxPlatformInfo.h"

namespace koro {

PlatformFamily LinuxPlatformInfo::family() const {
    // Win9x stands for the old single-user DOS-based systems. Any kernel uname can name here
    // separates processes and users the NT way, so there is nothing to ask it.
    return PlatformFamily::NT;
}

} // namespace koro
