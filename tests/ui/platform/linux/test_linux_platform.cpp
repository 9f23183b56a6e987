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
    EXPECT_TRUE(platform->singleInstance);
    EXPECT_TRUE(platform->screenSaver);
    EXPECT_TRUE(platform->autostart);
    EXPECT_TRUE(platform->memoryTrim);
    EXPECT_TRUE(platform->platformInfo);
    EXPECT_TRUE(platform->shell);
    EXPECT_TRUE(platform->favorites);
    EXPECT_TRUE(platform->hotkeys);
    EXPECT_TRUE(platform->display);
    EXPECT_TRUE(platform->mixer);
    EXPECT_TRUE(platform->alarm);
    EXPECT_TRUE(platform->power);
    EXPECT_TRUE(platform->tray);
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
