#pragma once

#include "platform/SingleInstance.h"

#include <QString>

namespace koro {

// An exclusive flock on a per-user lock file. The kernel drops it when the process ends,
// however it ends, so a crashed copy never blocks the next start.
class LinuxSingleInstance : public SingleInstance {
public:
    LinuxSingleInstance();
    explicit LinuxSingleInstance(QString lockPath);
    ~LinuxSingleInstance() override;
    LinuxSingleInstance(const LinuxSingleInstance&) = delete;
    LinuxSingleInstance& operator=(const LinuxSingleInstance&) = delete;

    bool acquire() override;

    // $XDG_RUNTIME_DIR/kestro.lock, else /tmp/kestro-<uid>.lock.
    static QString defaultLockPath();

private:
    QString lockPath_;
    int fd_ = -1;
};

} // namespace koro
