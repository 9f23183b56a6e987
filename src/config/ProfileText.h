#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QPair>
#include <optional>
#include <vector>

namespace koro {

// The text of a profile (INI) file, read much as the Windows profile functions read it and
// edited line by line: a change touches only the line of the key it sets (or adds one), so
// comments, odd lines, duplicates, line ends and any other bytes stay exactly as they were.
//
// A line is a section header "[name]", a key line "key=value", or anything else (blank,
// comment, a "[" without "]", a line without "="), which is kept but never read. Lines end at
// CR LF, LF or a lone CR. Sections and keys match without regard to ASCII case; sections of
// the same name read as one; the first of duplicate keys counts. Keys before the first header
// belong to no section.
class ProfileText {
public:
    explicit ProfileText(QByteArray bytes = {});

    const QByteArray& bytes() const { return m_bytes; }

    // The value with blanks around it dropped; nothing when the key is missing.
    std::optional<QByteArray> value(QByteArrayView section, QByteArrayView key) const;

    // Each key of the section once, in file order, with its value.
    QList<QPair<QByteArray, QByteArray>> section(QByteArrayView name) const;

    bool hasSection(QByteArrayView name) const;

    // Replaces the key's line in place or adds the key at the end of its section, adding the
    // section at the end of the text when it is missing. New lines end in CR LF. Blanks around
    // the names are dropped; false, with nothing changed, for a name that would not read back
    // as itself (an empty key, a line break, "=" in a key, "]" in a section, a key starting
    // like a comment or a header). Line breaks in the value become blanks.
    bool setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value);

private:
    enum class Kind { Other, Section, Key };
    struct Line {
        Kind kind = Kind::Other;
        qsizetype end = 0;     // first byte after the text of the line
        qsizetype next = 0;    // first byte of the next line
        QByteArrayView name;   // section or key name, blanks dropped
        QByteArrayView value;  // key value, blanks dropped
        qsizetype nameEnd = 0; // first byte after the key name as spelled
        int section = -1;      // index of the header line the key belongs to
    };

    void parse();
    bool inSection(const Line& line, QByteArrayView section) const;
    const Line* findKey(QByteArrayView section, QByteArrayView key) const;

    QByteArray m_bytes;
    std::vector<Line> m_lines;
};

} // namespace koro
