#include "config/ProfileFile.h"

#include "config/Error.h"
#include "config/ProfileText.h"
#include "config/RegularFile.h"
#include "config/ReplacingFile.h"

#include <QFileInfo>

namespace koro {

namespace {

// The bytes of the file; an absent file, or anything in its place that is not a regular file
// (a pipe would block the caller), reads as empty. False when it exists but cannot be read.
bool readFileBytes(const QString& path, QByteArray& bytes) {
    bytes.clear();
    if (!isRegularFile(path))
        return true;
    std::optional<QByteArray> content = readRegularFile(path);
    if (!content)
        return false;
    bytes = std::move(*content);
    return true;
}

// Byte length of the GB18030 character that starts at bytes[pos].
qsizetype characterLength(const QByteArray& bytes, qsizetype pos) {
    const auto lead = static_cast<unsigned char>(bytes[pos]);
    if (lead < 0x81 || lead == 0xFF || pos + 1 >= bytes.size())
        return 1;
    const auto second = static_cast<unsigned char>(bytes[pos + 1]);
    return (second >= 0x30 && second <= 0x39) ? 4 : 2;
}

// Cuts at MaxValueBytes, but never inside a character: half a double-byte character would
// decode as garbage and be written back as such.
QByteArray cutValue(QByteArray bytes) {
    if (bytes.size() <= ProfileFile::MaxValueBytes)
        return bytes;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const qsizetype length = characterLength(bytes, pos);
        if (pos + length > ProfileFile::MaxValueBytes)
            break;
        pos += length;
    }
    bytes.truncate(pos);
    return bytes;
}

} // namespace

ProfileFile::ProfileFile(QString path)
    : m_path(std::move(path)) {}

QByteArray ProfileFile::readString(const QByteArray& section, const QByteArray& key,
                                   const QByteArray& def) const {
    QByteArray bytes;
    if (!readFileBytes(m_path, bytes))
        return def;
    const std::optional<QByteArray> value = ProfileText(std::move(bytes)).value(section, key);
    return value ? cutValue(*value) : def;
}

QList<QPair<QByteArray, QByteArray>> ProfileFile::readSection(const QByteArray& section) const {
    QByteArray bytes;
    if (!readFileBytes(m_path, bytes))
        return {};
    auto result = ProfileText(std::move(bytes)).section(section);
    for (auto& entry : result)
        entry.second = cutValue(std::move(entry.second));
    return result;
}

bool ProfileFile::hasSection(const QByteArray& section) const {
    QByteArray bytes;
    if (!readFileBytes(m_path, bytes))
        return false;
    return ProfileText(std::move(bytes)).hasSection(section);
}

void ProfileFile::writeString(const QByteArray& section, const QByteArray& key,
                              const QByteArray& value) {
    writeStrings(section, {{key, value}});
}

void ProfileFile::writeStrings(const QByteArray& section, const Entries& entries) {
    const Error failure("Unable to write to " + m_path.toStdString());

    // A read-only file stays as it is, also for a user the permission bits do not stop.
    const QFileInfo target(m_path);
    if (target.exists() && !target.permissions().testFlag(QFileDevice::WriteOwner))
        throw failure;

    // A file that exists but cannot be read must not be replaced by one holding a single key.
    QByteArray bytes;
    if (!readFileBytes(m_path, bytes))
        throw failure;

    ProfileText text(std::move(bytes));
    for (const auto& [key, value] : entries) {
        if (!text.setValue(section, key, value))
            throw failure;
    }
    const QByteArray& out = text.bytes();

    ReplacingFile save(m_path);
    if (!save.open() || !save.write(out) || !save.commit())
        throw failure;
}

} // namespace koro
