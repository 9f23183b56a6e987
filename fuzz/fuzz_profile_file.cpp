// A profile file of any content gets one key written. The key must read back as written, every
// other key must read as before, and every line but the written key's must stay as it was.

#include "FuzzSupport.h"
#include "config/Error.h"
#include "config/ProfileFile.h"
#include "support/ChangedMiddle.h"

#include <QByteArrayList>
#include <QList>

#include <fuzzer/FuzzedDataProvider.h>

namespace {

using koro::fuzz::check;

bool isLineBreak(char c) {
    return c == '\n' || c == '\r';
}

// Lines without their ends; CR LF, LF and a lone CR all end a line, so a save may change the
// kind of line end but nothing else.
QByteArrayList splitLines(const QByteArray& bytes) {
    QByteArrayList lines;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        qsizetype end = pos;
        while (end < bytes.size() && !isLineBreak(bytes[end]))
            ++end;
        lines.append(bytes.mid(pos, end - pos));
        if (end < bytes.size())
            end += (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') ? 2 : 1;
        pos = end;
    }
    return lines;
}

bool equalNoCase(const QByteArray& a, const QByteArray& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// A key or section name: printable, no character that means something on a line, no blanks
// at either end. The fuzzed file content is where anything goes.
QByteArray nameFrom(const std::string& raw) {
    QByteArray name;
    for (char c : raw) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x80 || (u >= 0x20 && u < 0x7F && !QByteArrayView("=[];#").contains(c)))
            name += c;
    }
    return koro::fuzz::trimBlanks(name);
}

// Any bytes but control characters, whose blank-or-not status readers differ on; line breaks
// are kept, the writer must turn them into blanks.
QByteArray valueFrom(const std::string& raw) {
    QByteArray value;
    for (char c : raw) {
        const auto u = static_cast<unsigned char>(c);
        value += (u < 0x20 && !isLineBreak(c)) || u == 0x7F ? '?' : c;
    }
    return value.left(koro::ProfileFile::MaxValueBytes);
}

struct Entry {
    QByteArray section;
    QByteArray key;
};

bool isSectionLine(const QByteArray& line, QByteArray* name = nullptr) {
    const QByteArray trimmed = koro::fuzz::trimBlanks(line);
    const qsizetype close = trimmed.indexOf(']');
    if (!trimmed.startsWith('[') || close < 0)
        return false;
    if (name)
        *name = koro::fuzz::trimBlanks(trimmed.mid(1, close - 1));
    return true;
}

// The key of a "key=value" line; empty for any other line.
QByteArray keyOfLine(const QByteArray& line) {
    const QByteArray trimmed = koro::fuzz::trimBlanks(line);
    const qsizetype equals = trimmed.indexOf('=');
    if (equals <= 0 || trimmed.startsWith(';') || trimmed.startsWith('#') ||
        trimmed.startsWith('['))
        return {};
    return koro::fuzz::trimBlanks(trimmed.left(equals));
}

QByteArray valueOfLine(const QByteArray& line) {
    return koro::fuzz::trimBlanks(line.mid(line.indexOf('=') + 1));
}

// The sections named in the file, and the keys as a reader of the lines would see them.
QList<QByteArray> sectionsOf(const QByteArrayList& lines, QList<Entry>& entries) {
    QList<QByteArray> sections{QByteArray()};
    QByteArray current;
    for (const QByteArray& line : lines) {
        QByteArray name;
        if (isSectionLine(line, &name)) {
            current = name;
            if (!sections.contains(name))
                sections.append(name);
        } else if (const QByteArray key = keyOfLine(line); !key.isEmpty()) {
            entries.append({current, key});
        }
    }
    return sections;
}

using Section = QList<QPair<QByteArray, QByteArray>>;

Section withoutKey(Section section, const QByteArray& key) {
    section.removeIf([&](const auto& entry) { return equalNoCase(entry.first, key); });
    return section;
}

QByteArray describe(const Section& section) {
    QByteArray text;
    for (const auto& [key, value] : section)
        text += key + '=' + value + '|';
    return text;
}

// Lines the save may add around the written key: blank lines and the section's header.
bool isAddedFrame(const QByteArray& line, const QByteArray& section) {
    QByteArray name;
    return koro::fuzz::trimBlanks(line).isEmpty() ||
           (isSectionLine(line, &name) && equalNoCase(name, section));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider input(data, size);
    QByteArray section = nameFrom(input.ConsumeRandomLengthString(40));
    QByteArray key = nameFrom(input.ConsumeRandomLengthString(40));
    const QByteArray value = valueFrom(input.ConsumeRandomLengthString(300));
    const std::string rest = input.ConsumeRemainingBytesAsString();
    const QByteArray before(rest.data(), static_cast<qsizetype>(rest.size()));

    const QByteArrayList oldLines = splitLines(before);
    QList<Entry> oldEntries;
    const QList<QByteArray> sections = sectionsOf(oldLines, oldEntries);
    // No key given: rewrite one the file already holds, which is where edits go wrong.
    oldEntries.removeIf([](const Entry& entry) { return entry.section.isEmpty(); });
    if (key.isEmpty() && !oldEntries.isEmpty()) {
        const Entry& chosen = oldEntries[value.size() % oldEntries.size()];
        section = chosen.section;
        key = chosen.key;
    }
    if (key.isEmpty())
        key = "key";
    if (section.isEmpty())
        section = "Config";

    const QString path = koro::fuzz::scratchFolder() + QStringLiteral("/Config.ini");
    koro::fuzz::writeFile(path, before);
    koro::ProfileFile file(path);

    QList<Section> oldSections;
    for (const QByteArray& name : sections)
        oldSections.append(file.readSection(name));
    const bool hadSection = file.hasSection(section);

    try {
        file.writeString(section, key, value);
    } catch (const koro::Error& error) {
        koro::fuzz::fail("the save failed", {}, error.what());
    }

    QByteArray expected = value;
    expected.replace('\r', ' ').replace('\n', ' ');
    expected = koro::fuzz::trimBlanks(expected);
    const QByteArray readBack = file.readString(section, key, "\x01missing");
    check(readBack == expected, "the written key reads back", expected, readBack);

    for (qsizetype i = 0; i < sections.size(); ++i) {
        Section now = file.readSection(sections[i]);
        Section old = oldSections[i];
        if (equalNoCase(sections[i], section)) {
            now = withoutKey(now, key);
            old = withoutKey(old, key);
        }
        check(now == old, "the other keys read as before", describe(old), describe(now));
    }

    // One edit in one place: the lines before and after it are the old ones.
    const QByteArray after = koro::fuzz::readFile(path);
    const QByteArrayList newLines = splitLines(after);
    const auto [prefix, suffix] = koro::test::commonEnds(oldLines, newLines);
    const QByteArrayList removed = oldLines.mid(prefix, oldLines.size() - prefix - suffix);
    const QByteArrayList added = newLines.mid(prefix, newLines.size() - prefix - suffix);

    check(removed.size() <= 1, "no line but the written key's is changed or dropped",
          removed.join("\n"), added.join("\n"));
    if (removed.size() == 1) {
        check(equalNoCase(keyOfLine(removed.first()), key), "only the written key's line changes",
              removed.first(), added.join("\n"));
    }
    int keyLines = 0;
    for (const QByteArray& line : added) {
        if (equalNoCase(keyOfLine(line), key) && valueOfLine(line) == expected) {
            ++keyLines;
            continue;
        }
        check(isAddedFrame(line, section) &&
                  (!hadSection || koro::fuzz::trimBlanks(line).isEmpty()),
              "nothing but the key and its section's header is added", removed.join("\n"),
              added.join("\n"));
    }
    check(keyLines == (added.isEmpty() && removed.isEmpty() ? 0 : 1),
          "the written key is on one line", expected, added.join("\n"));
    return 0;
}
