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
    : m_lockPaths(std::move(lockPaths)) {}

LinuxSingleInstance::~LinuxSingleInstance() {
    release();
}

void LinuxSingleInstance::release() {
    for (const int fd : m_fds)
        ::close(fd);
    m_fds.clear();
}

QStringList LinuxSingleInstance::defaultLockPaths(const QString& temporaryFolder) {
    // The temporary folder's lock comes first and is taken by every copy, whatever its
    // environment, so copies with and without a runtime folder still meet there.
    QStringList paths{QStringLiteral("%1/kestro-%2.lock").arg(temporaryFolder).arg(::getuid())};
    const QString runtimeDir = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    // A relative value is not a runtime folder.
    if (runtimeDir.startsWith(u'/'))
        paths.append(runtimeDir + QStringLiteral("/kestro.lock"));
    return paths;
}

SingleInstance::Mark LinuxSingleInstance::acquire() {
    if (!m_fds.empty())
        return Mark::Taken;
    for (const QString& path : std::as_const(m_lockPaths)) {
        const int fd = openLockFile(path);
        if (fd < 0)
            continue;
        int rc;
        do {
            rc = ::flock(fd, LOCK_EX | LOCK_NB);
        } while (rc != 0 && errno == EINTR);
        if (rc != 0) {
            const bool heldElsewhere = errno == EWOULDBLOCK;
            ::close(fd);
            if (heldElsewhere) {
                release();
                return Mark::HeldByAnother;
            }
            continue;
        }
        m_fds.push_back(fd);
    }
    return m_fds.empty() ? Mark::Unavailable : Mark::Taken;
}

} // namespace koro
