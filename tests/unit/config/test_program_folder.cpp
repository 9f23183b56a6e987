#include "config/ProgramFolder.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using koro::test::readFile;
using koro::test::writeFile;

TEST(ProgramFolder, BuildFolderKeepsFilesBesideTheProgramAndInstalledCopyUsesTheUsersOwn) {
    QTemporaryDir exeDir, dataHome;
    const koro::ProgramFolder portable =
        koro::ProgramFolder::resolve(exeDir.path(), dataHome.path());
    EXPECT_FALSE(portable.perUser);
    EXPECT_EQ(portable.path, QDir::cleanPath(exeDir.path()));
    EXPECT_FALSE(QFileInfo::exists(dataHome.filePath("koro")));

    // Root may write into /usr/lib/koro: the marker, not the permission, decides there.
    writeFile(exeDir.filePath("installed.txt"), "installed");
    const koro::ProgramFolder installed =
        koro::ProgramFolder::resolve(exeDir.path(), dataHome.path());
    EXPECT_TRUE(installed.perUser);
    EXPECT_EQ(installed.path, QDir::cleanPath(dataHome.filePath("koro")));
    EXPECT_TRUE(QFileInfo(installed.path).isDir());
}

TEST(ProgramFolder, DataHomeMustBeAbsolute) {
    const QByteArray saved = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", "relative/share");
    EXPECT_EQ(koro::ProgramFolder::xdgDataHome(), QDir::homePath() + "/.local/share");
    qputenv("XDG_DATA_HOME", "/srv/data/");
    EXPECT_EQ(koro::ProgramFolder::xdgDataHome(), "/srv/data");
    qputenv("XDG_DATA_HOME", saved);
}

TEST(ProgramFolder, SamplesAreCopiedOnceAndNeverOverAUsersFiles) {
    QTemporaryDir samples, user;
    writeFile(samples.filePath("skin/Blue.skn"), "blue");
    writeFile(samples.filePath("skin/Jade.skn"), "jade");
    writeFile(samples.filePath("skin/notes.txt"), "not a skin");
    writeFile(samples.filePath("Tvlist/COCK.wav"), "ring");
    writeFile(user.filePath("Tvlist/COCK.wav"), "my own ring");

    koro::seedUserFolder(user.path(), samples.path());
    EXPECT_EQ(readFile(user.filePath("skin/Blue.skn")), "blue");
    EXPECT_EQ(readFile(user.filePath("skin/Jade.skn")), "jade");
    EXPECT_FALSE(QFileInfo::exists(user.filePath("skin/notes.txt")));
    EXPECT_EQ(readFile(user.filePath("Tvlist/COCK.wav")), "my own ring");

    // A skin the user deleted stays deleted at the next start.
    QFile::remove(user.filePath("skin/Jade.skn"));
    koro::seedUserFolder(user.path(), samples.path());
    EXPECT_FALSE(QFileInfo::exists(user.filePath("skin/Jade.skn")));
}
