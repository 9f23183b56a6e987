#include "platform/FileVersion.h"
#include "support/Files.h"
#include "support/Restamp.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

using koro::test::restampedCopy;
using koro::test::stampBytes;
using koro::test::writeFile;

TEST(FileVersion, RunningProgramCarriesTheBuildVersion) {
    const QString self = koro::runningExecutablePath();
    EXPECT_TRUE(self.endsWith("/unit_tests")) << self.toStdString();
    EXPECT_EQ(koro::fileVersionText(self), "3.0.0.0");
}

TEST(FileVersion, IsReadFromTheFileNotFromTheProgram) {
    QTemporaryDir dir;
    QString error;
    const QString copy = restampedCopy(QDir(dir.path()), stampBytes(7, 12, 305, 4001), &error);
    ASSERT_FALSE(copy.isEmpty()) << error.toStdString();
    EXPECT_EQ(koro::fileVersionText(copy), "7.12.305.4001");
    EXPECT_EQ(koro::fileVersionText(koro::runningExecutablePath()), "3.0.0.0");
}

TEST(FileVersion, FilesWithoutAStampGiveNothing) {
    QTemporaryDir dir;
    const QString text = dir.filePath("notes.txt");
    writeFile(text, "this is not an executable, though it is long enough to hold a header. "
                    "this is not an executable, though it is long enough to hold a header.");
    EXPECT_EQ(koro::fileVersionText(text), "");

    // An ELF file without the section (and a truncated one) carry no version either.
    EXPECT_EQ(koro::fileVersionText("/bin/sh"), "");
    const QString truncated = dir.filePath("truncated");
    writeFile(truncated, koro::test::readFile(koro::runningExecutablePath()).left(4096));
    EXPECT_EQ(koro::fileVersionText(truncated), "");

    EXPECT_EQ(koro::fileVersionText(dir.filePath("missing")), "");
    EXPECT_EQ(koro::fileVersionText(dir.path()), "");
}

TEST(FileVersion, ForeignBytesInTheSectionAreNotAVersion) {
    QTemporaryDir dir;
    QString error;
    const QString copy = restampedCopy(QDir(dir.path()), QByteArray(16, '\x01'), &error);
    ASSERT_FALSE(copy.isEmpty()) << error.toStdString();
    EXPECT_EQ(koro::fileVersionText(copy), "");
}

} // namespace
