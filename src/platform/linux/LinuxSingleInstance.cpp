#include "platform/linux/LinuxSingleInstance.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace koro {

LinuxSingleInstance::LinuxSingleInstance()
    : LinuxSingleInstance(defaultLockPath()) {}

LinuxSingleInstance::LinuxSingleInstance(QString lockPath)
    : lockPath_(std::move(lockPath)) {}

LinuxSingleInstance::~LinuxSingleInstance() {
    if (fd_ >= 0)
        ::close(fd_);
}

QString LinuxSingleInstance::defaultLockPath() {
    const QByteArray runtimeDir = qgetenv("XDG_RUNTIME_DIR");
    if (!runtimeDir.isEmpty())
        return QFile::decodeName(runtimeDir) + QStringLiteral("/kestro.lock");
    return QStringLiteral("/tmp/kestro-%1.lock").arg(::getuid());
}

bool LinuxSingleInstance::acquire() {
    if (fd_ >= 0)
        return true;
    const QByteArray path = QFile::encodeName(lockPath_);
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    // Without a lock file there is no way to tell; refusing to start would be worse.
    if (fd < 0)
        return true;
    int rc;
    do {
        rc = ::flock(fd, LOCK_EX | LOCK_NB);
    } while (rc != 0 && errno == EINTR);
    if (rc != 0) {
        const bool heldElsewhere = errno == EWOULDBLOCK;
        ::close(fd);
        return !heldElsewhere;
    }
    fd_ = fd;
    return true;
}

} // namespace koro
