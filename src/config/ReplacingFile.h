#pragma once

#include <QByteArray>
#include <QString>

namespace koro {

// Writes a file that replaces another in one step: the bytes go to "<target>.koro-new" beside
// it, are synced to disk, and are renamed over the target only on commit(), so a crash leaves
// the old file or the new one, never a torn one. The temporary name is fixed, so one left by a
// killed process is recognised as ours (removeStrayTemporary) and never mistaken for a user's.
class ReplacingFile {
public:
    explicit ReplacingFile(QString target);
    // Removes the temporary file unless committed.
    ~ReplacingFile();
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    bool open();
    bool write(const QByteArray& bytes);
    // Syncs and renames over the target; false (and the target untouched) on any failure,
    // including an earlier failed write.
    bool commit();

    static QString temporaryPath(const QString& target);
    // Removes a temporary file of target that a killed process left behind.
    static void removeStrayTemporary(const QString& target);

private:
    void discard();

    QString m_target;
    QString m_temporary;
    int m_fd = -1;
    bool m_failed = false;
};

} // namespace koro
