#pragma once

#include "platform/AlarmSound.h"
#include "platform/AutostartEntry.h"
#include "platform/DisplayModes.h"
#include "platform/FavoritesLocation.h"
#include "platform/GlobalHotkeys.h"
#include "platform/MemoryTrim.h"
#include "platform/Mixer.h"
#include "platform/PlatformInfo.h"
#include "platform/PowerControl.h"
#include "platform/ScreenSaver.h"
#include "platform/ShellOpen.h"
#include "platform/SingleInstance.h"
#include "platform/TrayIcon.h"

#include <memory>

namespace koro {

// Every operating-system service the program uses. The main window receives one bundle;
// it is made after the QApplication exists.
struct Platform {
    std::unique_ptr<SingleInstance> singleInstance;
    std::unique_ptr<ScreenSaver> screenSaver;
    std::unique_ptr<AutostartEntry> autostart;
    std::unique_ptr<MemoryTrim> memoryTrim;
    std::unique_ptr<PlatformInfo> platformInfo;
    std::unique_ptr<ShellOpen> shell;
    std::unique_ptr<FavoritesLocation> favorites;
    std::unique_ptr<GlobalHotkeys> hotkeys;
    std::unique_ptr<DisplayModes> display;
    std::unique_ptr<Mixer> mixer;
    std::unique_ptr<AlarmSound> alarm;
    std::unique_ptr<PowerControl> power;
    // The main window destroys it when it closes; an empty pointer then means "closing".
    std::unique_ptr<TrayIcon> tray;
};

} // namespace koro
