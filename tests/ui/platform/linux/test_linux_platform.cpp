#include "platform/linux/LinuxPlatform.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

TEST(LinuxPlatformBundle, FillsEveryService) {
    // Keep the power service away from any real system bus.
    QTemporaryDir dir;
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", ("unix:path=" + dir.filePath("no-bus")).toUtf8());
    const auto platform = koro::makeLinuxPlatform();
    ASSERT_TRUE(platform);
    const koro::Platform& p = *platform;
    const bool filled[] = {bool(p.singleInstance),
                           bool(p.screenSaver),
                           bool(p.autostart),
                           bool(p.memoryTrim),
                           bool(p.platformInfo),
                           bool(p.shell),
                           bool(p.favorites),
                           bool(p.hotkeys),
                           bool(p.display),
                           bool(p.mixer),
                           bool(p.alarm),
                           bool(p.power),
                           bool(p.tray)};
    for (std::size_t i = 0; i < std::size(filled); ++i)
        EXPECT_TRUE(filled[i]) << "service " << i;
    EXPECT_EQ(platform->platformInfo->family(), koro::PlatformFamily::NT);
    EXPECT_TRUE(platform->favorites->folder().endsWith("/Favorites"));

    // Off X11 the X services refuse instead of failing hard.
    EXPECT_FALSE(platform->hotkeys->registerHotKey(1, 0, koro::hotkey::KeyF9));
    EXPECT_FALSE(platform->display->setResolution(1024, 768));
    platform->screenSaver->setActive(false);
    platform->screenSaver->setActive(true);
    platform->power->powerOffNow();
    qunsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

} // namespace
