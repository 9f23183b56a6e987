#include "config/ProfileText.h"

#include <QSet>

#include <utility>

namespace koro {

namespace {

constexpr QByteArrayView ByteOrderMark("\xEF\xBB\xBF");
constexpr QByteArrayView NewLine("\r\n");

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

bool isLineBreak(char c) {
    return c == '\r' || c == '\n';
}

QByteArrayView trimmed(QByteArrayView text) {
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && isBlank(text[begin]))
        ++begin;
    while (end > begin && isBlank(text[end - 1]))
        --end;
    return text.sliced(begin, end - begin);
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

// Only ASCII letters fold: other bytes are parts of code-page characters.
bool sameName(QByteArrayView a, QByteArrayView b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i]))
            return false;
    }
    return true;
}

bool hasLineBreak(QByteArrayView text) {
    for (char c : text) {
        if (isLineBreak(c))
            return true;
    }
    return false;
}

} // namespace

ProfileText::ProfileText(QByteArray bytes)
    : m_bytes(std::move(bytes)) {
    parse();
}

void ProfileText::parse() {
    m_lines.clear();
    const QByteArrayView all(m_bytes);
    int section = -1;
    qsizetype pos = 0;
    while (pos < all.size()) {
        Line line;
        qsizetype end = pos;
        while (end < all.size() && !isLineBreak(all[end]))
            ++end;
        line.end = end;
        line.next = end;
        if (line.next < all.size())
            line.next += all.sliced(end).startsWith(NewLine) ? 2 : 1;

        // A byte order mark belongs to the file, not to the first line's text.
        qsizetype start = pos;
        if (pos == 0 && all.startsWith(ByteOrderMark))
            start = ByteOrderMark.size();
        while (start < end && isBlank(all[start]))
            ++start;
        const QByteArrayView text = all.sliced(start, end - start);
        if (text.startsWith('[')) {
            const qsizetype close = text.indexOf(']');
            if (close > 0) {
                line.kind = Kind::Section;
                line.name = trimmed(text.sliced(1, close - 1));
                section = int(m_lines.size());
            }
        } else if (!text.isEmpty() && text[0] != ';' && text[0] != '#') {
            const qsizetype equals = text.indexOf('=');
            const QByteArrayView name = equals > 0 ? trimmed(text.first(equals)) : QByteArrayView();
            if (!name.isEmpty()) {
                line.kind = Kind::Key;
                line.name = name;
                line.nameEnd = (name.constData() - all.constData()) + name.size();
                line.value = trimmed(text.sliced(equals + 1));
                line.section = section;
            }
        }
        m_lines.push_back(line);
        pos = line.next;
    }
}

bool ProfileText::inSection(const Line& line, QByteArrayView section) const {
    return line.section >= 0 && sameName(m_lines[size_t(line.section)].name, section);
}

const ProfileText::Line* ProfileText::findKey(QByteArrayView section, QByteArrayView key) const {
    for (const Line& line : m_lines) {
        if (line.kind == Kind::Key && sameName(line.name, key) && inSection(line, section))
            return &line;
    }
    return nullptr;
}

std::optional<QByteArray> ProfileText::value(QByteArrayView section, QByteArrayView key) const {
    const Line* line = findKey(trimmed(section), trimmed(key));
    if (!line)
        return std::nullopt;
    return line->value.toByteArray();
}

QList<QPair<QByteArray, QByteArray>> ProfileText::section(QByteArrayView name) const {
    name = trimmed(name);
    QList<QPair<QByteArray, QByteArray>> result;
    QSet<QByteArray> seen;
    for (const Line& line : m_lines) {
        if (line.kind != Kind::Key || !inSection(line, name))
            continue;
        const QByteArray key = line.name.toByteArray();
        const QByteArray folded = key.toLower(); // ASCII letters only
        if (seen.contains(folded))
            continue;
        seen.insert(folded);
        result.append({key, line.value.toByteArray()});
    }
    return result;
}

bool ProfileText::hasSection(QByteArrayView name) const {
    name = trimmed(name);
    for (const Line& line : m_lines) {
        if (line.kind == Kind::Section && sameName(line.name, name))
            return true;
    }
    return false;
}

bool ProfileText::setValue(QByteArrayView section, QByteArrayView key, QByteArrayView value) {
    section = trimmed(section);
    key = trimmed(key);
    if (key.isEmpty() || hasLineBreak(key) || key.contains('=') || key[0] == ';' || key[0] == '#' ||
        key[0] == '[' || hasLineBreak(section) || section.contains(']'))
        return false;
    QByteArray oneLine = value.toByteArray();
    oneLine.replace('\r', ' ').replace('\n', ' ');

    if (const Line* line = findKey(section, key)) {
        // The key keeps its place, indentation and spelling; the rest of its line is new.
        m_bytes.replace(line->nameEnd, line->end - line->nameEnd, "=" + oneLine);
        parse();
        return true;
    }

    const QByteArray keyLine = key.toByteArray() + '=' + oneLine + NewLine.toByteArray();
    // After the section's last key, so comments that lead into the next section stay with it.
    int header = -1;
    const Line* anchor = nullptr;
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const Line& line = m_lines[i];
        if (header < 0 && line.kind == Kind::Section && sameName(line.name, section)) {
            header = int(i);
            anchor = &line;
        } else if (header >= 0 && line.kind == Kind::Key && line.section == header) {
            anchor = &line;
        }
    }
    if (anchor) {
        QByteArray insert = keyLine;
        if (anchor->next == anchor->end) // the last line of a file without a final line break
            insert.prepend(NewLine.toByteArray());
        m_bytes.insert(anchor->next, insert);
    } else {
        if (!m_bytes.isEmpty() && !isLineBreak(m_bytes.back()))
            m_bytes += NewLine.toByteArray();
        m_bytes += '[' + section.toByteArray() + ']' + NewLine.toByteArray() + keyLine;
    }
    parse();
    return true;
}

} // namespace koro
