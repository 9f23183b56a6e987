#include "platform/linux/LinuxAutostartEntry.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <unistd.h>

namespace {

void touch(const QString& path) {
    koro::test::writeFile(path, "[Desktop Entry]\n");
}

TEST(AutostartEntry, RemovesThePresentEntryOnly) {
    QTemporaryDir dir;
    const QString entry = dir.filePath("Tarvolin.desktop");
    const QString neighbour = dir.filePath("Other.desktop");
    touch(entry);
    touch(neighbour);

    koro::LinuxAutostartEntry autostart(entry);
    autostart.removeEntry();
    EXPECT_FALSE(QFile::exists(entry));
    EXPECT_TRUE(QFile::exists(neighbour));

    // Absent now: a second save must pass quietly.
    autostart.removeEntry();
    EXPECT_FALSE(QFile::exists(entry));
}

TEST(AutostartEntry, LeavesWhatItCannotRemove) {
    QTemporaryDir dir;
    // A folder of that name is not an entry and cannot be unlinked.
    const QString folderEntry = dir.filePath("Tarvolin.desktop");
    ASSERT_TRUE(QDir().mkpath(folderEntry + "/inside"));
    koro::LinuxAutostartEntry(folderEntry).removeEntry();
    EXPECT_TRUE(QFileInfo(folderEntry + "/inside").isDir());

    if (::geteuid() == 0)
        GTEST_SKIP() << "root may unlink in a read-only folder; the protected-folder case needs "
                        "an ordinary user";
    QTemporaryDir locked;
    const QString entry = locked.filePath("Tarvolin.desktop");
    touch(entry);
    ASSERT_TRUE(
        QFile::setPermissions(locked.path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    koro::LinuxAutostartEntry(entry).removeEntry();
    EXPECT_TRUE(QFile::exists(entry));
    QFile::setPermissions(locked.path(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

} // namespace
