#pragma once

#include "platform/SingleInstance.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace koro {

// Exclusive flocks on per-user lock files. The kernel drops them when the process ends,
// however it ends, so a crashed copy never blocks the next start.
class LinuxSingleInstance : public SingleInstance {
public:
    LinuxSingleInstance();
    // Every one of lockPaths that can be opened as the user's own file is locked; a copy that
    // finds any of them held is refused.
    explicit LinuxSingleInstance(QStringList lockPaths);
    explicit LinuxSingleInstance(const QString& lockPath)
        : LinuxSingleInstance(QStringList{lockPath}) {}
    ~LinuxSingleInstance() override;
    LinuxSingleInstance(const LinuxSingleInstance&) = delete;
    LinuxSingleInstance& operator=(const LinuxSingleInstance&) = delete;

    Mark acquire() override;

    // <temporaryFolder>/kestro-<uid>.lock, then $XDG_RUNTIME_DIR/kestro.lock when the variable
    // names a folder (which covers a temporary folder that another user blocks). The names are
    // data: copies of other versions look for the same files.
    static QStringList defaultLockPaths(const QString& temporaryFolder = QStringLiteral("/tmp"));

private:
    void release();

    QStringList m_lockPaths;
    std::vector<int> m_fds;
};

} // namespace koro
