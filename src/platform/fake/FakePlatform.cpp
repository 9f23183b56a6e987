#include "platform/fake/FakePlatform.h"

namespace koro {

namespace {
// Stores the fake in the bundle's slot and returns the typed observer.
template <typename Fake, typename Slot, typename... Args>
Fake* install(Slot& slot, Args&&... args) {
    auto fake = std::make_unique<Fake>(std::forward<Args>(args)...);
    Fake* observer = fake.get();
    slot = std::move(fake);
    return observer;
}
} // namespace

FakePlatform makeFakePlatform(const QString& favoritesFolder) {
    FakePlatform f;
    f.platform = std::make_unique<Platform>();
    Platform& p = *f.platform;
    f.singleInstance = install<FakeSingleInstance>(p.singleInstance);
    f.screenSaver = install<FakeScreenSaver>(p.screenSaver);
    f.autostart = install<FakeAutostartEntry>(p.autostart);
    f.memoryTrim = install<FakeMemoryTrim>(p.memoryTrim);
    f.platformInfo = install<FakePlatformInfo>(p.platformInfo);
    f.shell = install<FakeShellOpen>(p.shell);
    f.favorites = install<FakeFavoritesLocation>(p.favorites, favoritesFolder);
    f.hotkeys = install<FakeGlobalHotkeys>(p.hotkeys);
    f.display = install<FakeDisplayModes>(p.display);
    f.mixer = install<FakeMixer>(p.mixer);
    f.alarm = install<FakeAlarmSound>(p.alarm);
    f.power = install<FakePowerControl>(p.power);
    f.tray = install<FakeTrayIcon>(p.tray);
    return f;
}

} // namespace koro
