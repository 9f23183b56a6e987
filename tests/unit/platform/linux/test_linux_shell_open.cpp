#include "platform/linux/LinuxShellOpen.h"

#include <gtest/gtest.h>

namespace {

using koro::desktopEntryName;

TEST(DesktopEntryName, PrefersTheChineseNameOfTheMainGroup) {
    EXPECT_EQ(desktopEntryName("[Desktop Entry]\nName=Files\nName[zh_CN]=文件\nExec=x %u\n"),
              "文件");
    EXPECT_EQ(desktopEntryName("[Desktop Entry]\nName[de]=Dateien\nName=Files\n"), "Files");
    EXPECT_EQ(desktopEntryName("[Desktop Entry]\r\nName = Remote\\sShell \r\n"), "Remote Shell");
    // Actions have names of their own, which are not the program's.
    EXPECT_EQ(
        desktopEntryName("[Desktop Action new]\nName=New Window\n[Desktop Entry]\nName=Term\n"),
        "Term");
    EXPECT_EQ(desktopEntryName("[Desktop Entry]\nName[zh_CN]=\nName=Files\n"), "Files");
    EXPECT_EQ(desktopEntryName("Name=Loose\n"), "");
}

} // namespace
