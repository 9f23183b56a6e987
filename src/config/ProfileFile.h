#pragma once

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>

namespace koro {

// A Windows-style profile (INI) file, read and edited as ProfileText describes. Every call goes
// to the file itself: nothing is cached, so edits by other programs are seen at the next read.
// Values are bytes in the system code page.
class ProfileFile {
public:
    explicit ProfileFile(QString path);

    const QString& path() const { return m_path; }

    // The value cut to 2047 bytes, blanks around it dropped; def when the key is missing,
    // "" when it is present but empty.
    QByteArray readString(const QByteArray& section, const QByteArray& key,
                          const QByteArray& def) const;

    // The key and value lines of a section in file order; empty when it is missing.
    QList<QPair<QByteArray, QByteArray>> readSection(const QByteArray& section) const;

    bool hasSection(const QByteArray& section) const;

    // Replaces the value in place or appends the key to its section, creating section and
    // file; every other byte of the file stays as it was. The file is replaced atomically.
    // Throws koro::Error("Unable to write to <path>"), also for a name that cannot be written.
    void writeString(const QByteArray& section, const QByteArray& key, const QByteArray& value);
    // Several keys of one section in one replacement of the file, in order: a crash leaves all
    // of them or none.
    using Entries = QList<QPair<QByteArray, QByteArray>>;
    void writeStrings(const QByteArray& section, const Entries& entries);

    static constexpr int MaxValueBytes = 2047;

private:
    QString m_path;
};

} // namespace koro
