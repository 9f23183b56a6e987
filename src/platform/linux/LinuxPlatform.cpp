#include "platform/linux/LinuxPlatform.h"

#include "platform/linux/LinuxAlarmSound.h"
#include "platform/linux/LinuxAutostartEntry.h"
#include "platform/linux/LinuxDisplayModes.h"
#include "platform/linux/LinuxFavoritesLocation.h"
#include "platform/linux/LinuxGlobalHotkeys.h"
#include "platform/linux/LinuxMemoryTrim.h"
#include "platform/linux/LinuxMixer.h"
#include "platform/linux/LinuxPlatformInfo.h"
#include "platform/linux/LinuxPowerControl.h"
#include "platform/linux/LinuxScreenSaver.h"
#include "platform/linux/LinuxShellOpen.h"
#include "platform/linux/LinuxSingleInstance.h"
#include "platform/linux/LinuxTrayIcon.h"

namespace koro {

std::unique_ptr<Platform> makeLinuxPlatform() {
    auto platform = std::make_unique<Platform>();
    platform->singleInstance = std::make_unique<LinuxSingleInstance>();
    platform->screenSaver = std::make_unique<LinuxScreenSaver>();
    platform->autostart = std::make_unique<LinuxAutostartEntry>();
    platform->memoryTrim = std::make_unique<LinuxMemoryTrim>();
    platform->platformInfo = std::make_unique<LinuxPlatformInfo>();
    platform->shell = std::make_unique<LinuxShellOpen>();
    platform->favorites = std::make_unique<LinuxFavoritesLocation>();
    platform->hotkeys = std::make_unique<LinuxGlobalHotkeys>();
    platform->display = std::make_unique<LinuxDisplayModes>();
    platform->mixer = std::make_unique<LinuxMixer>();
    platform->alarm = std::make_unique<LinuxAlarmSound>();
    platform->power = std::make_unique<LinuxPowerControl>();
    platform->tray = std::make_unique<LinuxTrayIcon>();
    return platform;
}

} // namespace koro
