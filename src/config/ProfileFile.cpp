#include "config/ProfileFile.h"

#include "config/Error.h"
#include "config/ProfileText.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace koro {

namespace {

// The bytes of the file; an absent file reads as empty. False when it exists but cannot be read.
bool readFileBytes(const QString& path, QByteArray& bytes) {
    bytes.clear();
    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    bytes = file.readAll();
    return file.error() == QFileDevice::NoError;
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
    if (!text.setValue(section, key, value))
        throw failure;
    const QByteArray& out = text.bytes();

    // QSaveFile writes beside the target, syncs it to disk and renames it over the target.
    QSaveFile save(m_path);
    // commit() alone would not notice a failed flush of the buffer and would put a cut file in
    // place, so the flush is checked first.
    if (!save.open(QIODevice::WriteOnly) || save.write(out) != out.size() || !save.flush() ||
        !save.commit()) {
        save.cancelWriting();
        throw failure;
    }
}

} // namespace koro
