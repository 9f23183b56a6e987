#pragma once

#include "platform/FileVersion.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QtEndian>

namespace koro::test {

// The stamp as the build lays it out: magic, then four little-endian 16-bit parts.
inline QByteArray stampBytes(quint16 a, quint16 b, quint16 c, quint16 d) {
    QByteArray bytes("KOROVER1");
    for (quint16 part : {a, b, c, d}) {
        char le[2];
        qToLittleEndian(part, le);
        bytes.append(le, 2);
    }
    return bytes;
}

// A copy of the running test program in dir whose version section holds section; the path,
// or an empty string with the reason in error when objcopy failed.
inline QString restampedCopy(const QDir& dir, const QByteArray& section, QString* error) {
    const QString copy = dir.filePath("restamped");
    const QString sectionPath = dir.filePath("section.bin");
    QFile::remove(copy);
    QFile sectionFile(sectionPath);
    if (!QFile::copy(runningExecutablePath(), copy) || !sectionFile.open(QIODevice::WriteOnly)) {
        *error = "cannot prepare the copy";
        return {};
    }
    sectionFile.write(section);
    sectionFile.close();
    QProcess objcopy;
    objcopy.start("objcopy", {"--update-section", ".koro_version=" + sectionPath, copy});
    if (!objcopy.waitForFinished(120000) || objcopy.exitCode() != 0) {
        *error = QString::fromLocal8Bit(objcopy.readAllStandardError());
        return {};
    }
    return copy;
}

} // namespace koro::test
