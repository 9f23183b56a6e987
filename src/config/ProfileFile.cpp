#include "config/ProfileFile.h"

#include "config/Error.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <SimpleIni.h>

#include <string>

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

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// True for the lines the parser turns into a section or a key; everything else it skips.
bool isEntryLine(QByteArrayView line) {
    qsizetype i = 0;
    while (i < line.size() && isBlank(line[i]))
        ++i;
    if (i == line.size() || line[i] == ';' || line[i] == '#')
        return false;
    if (line[i] == '[')
        return line.indexOf(']', i) >= 0;
    const qsizetype equals = line.indexOf('=', i);
    return equals > i;
}

// The parser drops comments that follow the last key of the file, so they are cut off before
// parsing and put back behind its output. lastEntryEnd is where the part the parser sees ends.
struct Split {
    qsizetype lastEntryEnd = 0;
    QByteArray tail; // LF line ends; empty when it holds nothing but blank lines
};

Split splitTrailingLines(const QByteArray& bytes) {
    Split split;
    // The parser skips a UTF-8 byte order mark; the first line is judged without it.
    qsizetype pos = bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
    while (pos < bytes.size()) {
        qsizetype end = pos;
        while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
            ++end;
        qsizetype next = end;
        if (next < bytes.size())
            next +=
                (bytes[next] == '\r' && next + 1 < bytes.size() && bytes[next + 1] == '\n') ? 2 : 1;
        const QByteArrayView line(bytes.constData() + pos, end - pos);
        if (isEntryLine(line)) {
            split.lastEntryEnd = next;
            split.tail.clear();
        } else {
            split.tail += line;
            split.tail += '\n';
        }
        pos = next;
    }
    if (split.tail.trimmed().isEmpty())
        split.tail.clear();
    return split;
}

class ParsedFile {
public:
    explicit ParsedFile(const QByteArray& bytes)
        : m_split(splitTrailingLines(bytes)) {
        m_ini.SetUnicode(false);
        m_ini.SetSpaces(false);
        m_ini.SetMultiKey(false);
        m_ini.SetMultiLine(false);
        m_ini.SetQuotes(false);
        m_ini.SetAllowKeyOnly(false);
        m_ini.LoadData(bytes.constData(), static_cast<size_t>(m_split.lastEntryEnd));
    }

    CSimpleIniA& ini() { return m_ini; }
    const CSimpleIniA& ini() const { return m_ini; }

    // The whole file as it is to be written: CR LF line ends, no byte order mark.
    bool serialize(QByteArray& out) const {
        std::string text;
        if (m_ini.Save(text, false) < 0)
            return false;
        QByteArray body = QByteArray::fromStdString(text);
        if (m_split.lastEntryEnd > 0)
            body += m_split.tail;
        else if (!m_split.tail.isEmpty())
            body = body.isEmpty() ? m_split.tail : m_split.tail + '\n' + body;
        out.clear();
        out.reserve(body.size() + body.count('\n'));
        for (char c : body) {
            if (c == '\n')
                out += '\r';
            out += c;
        }
        return true;
    }

private:
    Split m_split;
    CSimpleIniA m_ini;
};

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
QByteArray cutValue(const char* value) {
    QByteArray bytes(value);
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
    const ParsedFile file(bytes);
    const char* value = file.ini().GetValue(section.constData(), key.constData(), nullptr);
    return value ? cutValue(value) : def;
}

QList<QPair<QByteArray, QByteArray>> ProfileFile::readSection(const QByteArray& section) const {
    QList<QPair<QByteArray, QByteArray>> result;
    QByteArray bytes;
    if (!readFileBytes(m_path, bytes))
        return result;
    const ParsedFile file(bytes);
    CSimpleIniA::TNamesDepend keys;
    if (!file.ini().GetAllKeys(section.constData(), keys))
        return result;
    keys.sort(CSimpleIniA::Entry::LoadOrder());
    for (const auto& key : keys) {
        const char* value = file.ini().GetValue(section.constData(), key.pItem, "");
        result.append({QByteArray(key.pItem), cutValue(value)});
    }
    return result;
}

bool ProfileFile::hasSection(const QByteArray& section) const {
    QByteArray bytes;
    if (!readFileBytes(m_path, bytes))
        return false;
    const ParsedFile file(bytes);
    return file.ini().SectionExists(section.constData());
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

    // A line break inside a value would start a new line of its own: a forged key or section.
    QByteArray oneLine = value;
    oneLine.replace('\r', ' ').replace('\n', ' ');

    ParsedFile file(bytes);
    if (file.ini().SetValue(section.constData(), key.constData(), oneLine.constData()) < 0)
        throw failure;
    QByteArray out;
    if (!file.serialize(out))
        throw failure;

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
