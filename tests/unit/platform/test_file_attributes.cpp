#include "platform/FileAttributes.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

class FileAttributesTest : public ::testing::Test {
protected:
    QTemporaryDir dir;

    QFileInfo file(const QString& name, QFileDevice::Permissions permissions = {}) {
        const QString path = dir.filePath(name);
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        f.close();
        if (permissions)
            EXPECT_TRUE(QFile::setPermissions(path, permissions));
        return QFileInfo(path);
    }
    QFileInfo folder(const QString& name, QFileDevice::Permissions permissions = {}) {
        const QString path = dir.filePath(name);
        EXPECT_TRUE(QDir().mkpath(path));
        if (permissions)
            EXPECT_TRUE(QFile::setPermissions(path, permissions));
        return QFileInfo(path);
    }
};

constexpr auto ownerAll = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner;

TEST_F(FileAttributesTest, PlainFileIsArchiveOnly) {
    const auto a = koro::fileAttributes(file("Sina.url"));
    EXPECT_TRUE(a.archive);
    EXPECT_FALSE(a.readOnly);
    EXPECT_FALSE(a.hidden);
    EXPECT_FALSE(a.directory);
    EXPECT_TRUE(a.plainFile());
    EXPECT_FALSE(a.plainDirectory());
}

TEST_F(FileAttributesTest, OwnerWriteBitDecidesReadOnly) {
    // Others may write, the owner may not: still read-only (and root's access does not count).
    const auto readOnly = koro::fileAttributes(
        file("locked.url", QFileDevice::ReadOwner | QFileDevice::ReadGroup |
                               QFileDevice::WriteGroup | QFileDevice::WriteOther));
    EXPECT_TRUE(readOnly.readOnly);
    EXPECT_TRUE(readOnly.archive);
    EXPECT_FALSE(readOnly.plainFile());

    const auto lockedFolder =
        koro::fileAttributes(folder("Locked", QFileDevice::ReadOwner | QFileDevice::ExeOwner));
    EXPECT_TRUE(lockedFolder.readOnly);
    EXPECT_FALSE(lockedFolder.plainDirectory());
    QFile::setPermissions(dir.filePath("Locked"), ownerAll);
}

TEST_F(FileAttributesTest, LeadingDotHides) {
    const auto hiddenFile = koro::fileAttributes(file(".secret.url"));
    EXPECT_TRUE(hiddenFile.hidden);
    EXPECT_FALSE(hiddenFile.plainFile());
    EXPECT_FALSE(koro::fileAttributes(file("not.hidden")).hidden);

    const auto hiddenFolder = koro::fileAttributes(folder(".Links"));
    EXPECT_TRUE(hiddenFolder.hidden);
    EXPECT_FALSE(hiddenFolder.plainDirectory());
}

TEST_F(FileAttributesTest, FolderIsDirectoryNotArchive) {
    const auto a = koro::fileAttributes(folder("Links"));
    EXPECT_TRUE(a.directory);
    EXPECT_FALSE(a.archive);
    EXPECT_TRUE(a.plainDirectory());
    EXPECT_FALSE(a.plainFile());
}

TEST_F(FileAttributesTest, VanishedFileHasNoAttributes) {
    const auto a = koro::fileAttributes(QFileInfo(dir.filePath("gone.url")));
    EXPECT_FALSE(a.archive);
    EXPECT_FALSE(a.directory);
    EXPECT_FALSE(a.readOnly);
    EXPECT_FALSE(a.plainFile());
}

TEST_F(FileAttributesTest, StatusAndRawNameGiveTheSameAttributes) {
    const QList<QFileInfo> entries = {
        file("Sina.url"),
        file("locked.url", QFileDevice::ReadOwner | QFileDevice::WriteOther),
        file(".secret.url"),
        folder("Links"),
        folder("Locked", QFileDevice::ReadOwner | QFileDevice::ExeOwner),
        folder(".Links")};
    for (const QFileInfo& info : entries) {
        SCOPED_TRACE(info.fileName().toStdString());
        struct stat status {};
        ASSERT_EQ(stat(QFile::encodeName(info.filePath()).constData(), &status), 0);
        const auto fromInfo = koro::fileAttributes(info);
        const auto fromStatus = koro::fileAttributes(status, QFile::encodeName(info.fileName()));
        EXPECT_EQ(fromStatus.archive, fromInfo.archive);
        EXPECT_EQ(fromStatus.readOnly, fromInfo.readOnly);
        EXPECT_EQ(fromStatus.hidden, fromInfo.hidden);
        EXPECT_EQ(fromStatus.directory, fromInfo.directory);
    }
    QFile::setPermissions(dir.filePath("Locked"), ownerAll);
}

} // namespace
