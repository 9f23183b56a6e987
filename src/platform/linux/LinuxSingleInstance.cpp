#include "platform/linux/LinuxSingleInstance.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace koro {

namespace {

// A descriptor of the lock file at path, or -1. In a shared folder such as /tmp another user
// may have put a file or link there first: only the user's own regular file counts.
int openLockFile(const QString& path) {
    const QByteArray local = QFile::encodeName(path);
    const int fd = ::open(local.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        return -1;
    struct stat status {};
    if (::fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != ::getuid()) {
        ::close(fd);
        return -1;
    }
    return fd;
}

} // namespace

LinuxSingleInstance::LinuxSingleInstance()
    : LinuxSingleInstance(defaultLockPaths()) {}

LinuxSingleInstance::LinuxSingleInstance(QStringList lockPaths)
    : lockPaths_(std::move(lockPaths)) {}

LinuxSingleInstance::~LinuxSingleInstance() {
    if (fd_ >= 0)
        ::close(fd_);
}

QStringList LinuxSingleInstance::defaultLockPaths() {
    QStringList paths;
    const QString runtimeDir = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    // A relative value is not a runtime folder.
    if (runtimeDir.startsWith(u'/'))
        paths.append(runtimeDir + QStringLiteral("/kestro.lock"));
    paths.append(QStringLiteral("/tmp/kestro-%1.lock").arg(::getuid()));
    return paths;
}

bool LinuxSingleInstance::acquire() {
    if (fd_ >= 0)
        return true;
    for (const QString& path : std::as_const(lockPaths_)) {
        const int fd = openLockFile(path);
        if (fd < 0)
            continue;
        int rc;
        do {
            rc = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        if (rc == 0) {
            fd_ = fd;
            return true;
        }
        const bool heldElsewhere = errno == EWOULDBLOCK;
        ::close(fd);
        if (heldElsewhere)
            return false;
    }
    // Without a lock file there is no way to tell; refusing to start would be worse.
    return true;
}

} // namespace koro
