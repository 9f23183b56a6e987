#pragma once

#include "platform/Platform.h"
#include "platform/fake/FakeGlobalHotkeys.h"
#include "platform/fake/FakeSimpleServices.h"
#include "platform/fake/FakeTrayIcon.h"

#include <QPointer>

#include <memory>

namespace koro {

// A bundle made entirely of fakes, with typed pointers to each for the test to drive and
// inspect. The pointers observe: `platform` (or whoever it is handed to) owns the fakes.
// The QObject fakes are QPointers, since the main window deletes the tray when it closes.
struct FakePlatform {
    std::unique_ptr<Platform> platform;

    FakeSingleInstance* singleInstance = nullptr;
    FakeScreenSaver* screenSaver = nullptr;
    FakeAutostartEntry* autostart = nullptr;
    FakeMemoryTrim* memoryTrim = nullptr;
    FakePlatformInfo* platformInfo = nullptr;
    FakeShellOpen* shell = nullptr;
    FakeFavoritesLocation* favorites = nullptr;
    QPointer<FakeGlobalHotkeys> hotkeys;
    FakeDisplayModes* display = nullptr;
    FakeMixer* mixer = nullptr;
    FakeAlarmSound* alarm = nullptr;
    FakePowerControl* power = nullptr;
    QPointer<FakeTrayIcon> tray;
};

// Needs a QApplication only once something draws; the Favorites folder is not created.
FakePlatform makeFakePlatform(const QString& favoritesFolder);

} // namespace koro
