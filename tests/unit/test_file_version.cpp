#include "platform/FileVersion.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>
#include <gtest/gtest.h>

namespace {

// The stamp as it sits in the section: magic, then four little-endian 16-bit parts.
QByteArray stampBytes(quint16 a, quint16 b, quint16 c, quint16 d) {
    QByteArray bytes("KOROVER1");
    for (quint16 part : {a, b, c, d}) {
        char le[2];
        qToLittleEndian(part, le);
        bytes.append(le, 2);
    }
    return bytes;
}

TEST(FileVersion, RunningProgramCarriesTheBuildVersion) {
    const QString self = koro::runningExecutablePath();
    EXPECT_TRUE(self.endsWith("/unit_tests")) << self.toStdString();
    EXPECT_EQ(koro::fileVersionText(self), "3.0.0.0");
}

TEST(FileVersion, IsReadFromTheFileNotFromTheProgram) {
    QTemporaryDir dir;
    const QString copy = dir.filePath("copy");
    const QString section = dir.filePath("section.bin");
    ASSERT_TRUE(QFile::copy(koro::runningExecutablePath(), copy));
    QFile sectionFile(section);
    ASSERT_TRUE(sectionFile.open(QIODevice::WriteOnly));
    sectionFile.write(stampBytes(7, 12, 305, 4001));
    sectionFile.close();

    QProcess objcopy;
    objcopy.start("objcopy", {"--update-section", ".koro_version=" + section, copy});
    ASSERT_TRUE(objcopy.waitForFinished(60000));
    ASSERT_EQ(objcopy.exitCode(), 0) << objcopy.readAllStandardError().toStdString();

    EXPECT_EQ(koro::fileVersionText(copy), "7.12.305.4001");
    EXPECT_EQ(koro::fileVersionText(koro::runningExecutablePath()), "3.0.0.0");
}

TEST(FileVersion, FilesWithoutAStampGiveNothing) {
    QTemporaryDir dir;
    const QString text = dir.filePath("notes.txt");
    QFile file(text);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("this is not an executable, though it is long enough to hold a header. "
               "this is not an executable, though it is long enough to hold a header.");
    file.close();
    EXPECT_EQ(koro::fileVersionText(text), "");

    // An ELF file without the section (and a truncated one) carry no version either.
    EXPECT_EQ(koro::fileVersionText("/bin/sh"), "");
    QFile self(koro::runningExecutablePath());
    ASSERT_TRUE(self.open(QIODevice::ReadOnly));
    const QString truncated = dir.filePath("truncated");
    QFile cut(truncated);
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(self.read(4096));
    cut.close();
    EXPECT_EQ(koro::fileVersionText(truncated), "");

    EXPECT_EQ(koro::fileVersionText(dir.filePath("missing")), "");
    EXPECT_EQ(koro::fileVersionText(dir.path()), "");
}

TEST(FileVersion, ForeignBytesInTheSectionAreNotAVersion) {
    QTemporaryDir dir;
    const QString copy = dir.filePath("copy");
    const QString section = dir.filePath("section.bin");
    ASSERT_TRUE(QFile::copy(koro::runningExecutablePath(), copy));
    QFile sectionFile(section);
    ASSERT_TRUE(sectionFile.open(QIODevice::WriteOnly));
    sectionFile.write(QByteArray(16, '\x01'));
    sectionFile.close();
    QProcess objcopy;
    objcopy.start("objcopy", {"--update-section", ".koro_version=" + section, copy});
    ASSERT_TRUE(objcopy.waitForFinished(60000));
    ASSERT_EQ(objcopy.exitCode(), 0);
    EXPECT_EQ(koro::fileVersionText(copy), "");
}

} // namespace
