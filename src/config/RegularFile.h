#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

namespace koro {

// The first maxBytes bytes of a regular file (all of it when maxBytes is negative); nothing
// when the path is missing, unreadable or anything but a regular file. A pipe, a device or a
// socket in place of a file never blocks the caller and is never read.
std::optional<QByteArray> readRegularFile(const QByteArray& localPath, qsizetype maxBytes = -1);
std::optional<QByteArray> readRegularFile(const QString& path, qsizetype maxBytes = -1);

// Whether path names a regular file (after links), without opening it.
bool isRegularFile(const QString& path);

} // namespace koro
