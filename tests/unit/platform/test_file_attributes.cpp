#include "platform/FileAttributes.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

using P = QFileDevice;

TEST(FileAttributes, EachKindOfEntryAlikeFromItsFileInfoAndFromItsStatus) {
    enum Kind { File, Folder, Missing };
    const struct {
        const char* name;
        Kind kind;
        QFileDevice::Permissions permissions; // none: as created
        bool archive, readOnly, hidden, directory, plainFile, plainDirectory;
    } cases[] = {
        {"Sina.url", File, {}, 1, 0, 0, 0, 1, 0},
        // Others may write, the owner may not: still read-only (and root's access does not count).
        {"locked.url", File, P::ReadOwner | P::ReadGroup | P::WriteGroup | P::WriteOther, 1, 1, 0,
         0, 0, 0},
        {".secret.url", File, {}, 1, 0, 1, 0, 0, 0},
        {"Links", Folder, {}, 0, 0, 0, 1, 0, 1},
        {"Locked", Folder, P::ReadOwner | P::ExeOwner, 0, 1, 0, 1, 0, 0},
        {".Links", Folder, {}, 0, 0, 1, 1, 0, 0},
        {"gone.url", Missing, {}, 0, 0, 0, 0, 0, 0},
    };
    QTemporaryDir dir;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString path = dir.filePath(c.name);
        if (c.kind == File)
            koro::test::writeFile(path, {});
        else if (c.kind == Folder)
            ASSERT_TRUE(QDir().mkpath(path));
        if (c.permissions)
            ASSERT_TRUE(QFile::setPermissions(path, c.permissions));
        const auto a = koro::fileAttributes(QFileInfo(path));
        EXPECT_EQ(a.archive, c.archive);
        EXPECT_EQ(a.readOnly, c.readOnly);
        EXPECT_EQ(a.hidden, c.hidden);
        EXPECT_EQ(a.directory, c.directory);
        EXPECT_EQ(a.plainFile(), c.plainFile);
        EXPECT_EQ(a.plainDirectory(), c.plainDirectory);
        if (c.kind == Missing)
            continue;
        struct stat status {};
        ASSERT_EQ(stat(QFile::encodeName(path).constData(), &status), 0);
        const auto raw = koro::fileAttributes(status, QFile::encodeName(c.name));
        EXPECT_EQ(raw.archive, c.archive);
        EXPECT_EQ(raw.readOnly, c.readOnly);
        EXPECT_EQ(raw.hidden, c.hidden);
        EXPECT_EQ(raw.directory, c.directory);
        QFile::setPermissions(path, P::ReadOwner | P::WriteOwner | P::ExeOwner);
    }
}

} // namespace
