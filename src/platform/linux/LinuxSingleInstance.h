#pragma once

#include "platform/SingleInstance.h"

#include <QString>
#include <QStringList>

namespace koro {

// An exclusive flock on a per-user lock file. The kernel drops it when the process ends,
// however it ends, so a crashed copy never blocks the next start.
class LinuxSingleInstance : public SingleInstance {
public:
    LinuxSingleInstance();
    // The first of lockPaths that can be opened as the user's own file is the lock.
    explicit LinuxSingleInstance(QStringList lockPaths);
    explicit LinuxSingleInstance(const QString& lockPath)
        : LinuxSingleInstance(QStringList{lockPath}) {}
    ~LinuxSingleInstance() override;
    LinuxSingleInstance(const LinuxSingleInstance&) = delete;
    LinuxSingleInstance& operator=(const LinuxSingleInstance&) = delete;

    bool acquire() override;

    // $XDG_RUNTIME_DIR/kestro.lock when the variable names a folder, then
    // /tmp/kestro-<uid>.lock for when that folder is missing or cannot be written.
    static QStringList defaultLockPaths();

private:
    QStringList lockPaths_;
    int fd_ = -1;
};

} // namespace koro
