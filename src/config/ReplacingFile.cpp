#include "config/ReplacingFile.h"

#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace koro {

ReplacingFile::ReplacingFile(QString target)
    : m_target(std::move(target)) {
    // A linked file is replaced where it lies; the link stays a link.
    const QFileInfo info(m_target);
    if (info.isSymLink() && !info.canonicalFilePath().isEmpty())
        m_target = info.canonicalFilePath();
    m_temporary = temporaryPath(m_target);
}

ReplacingFile::~ReplacingFile() {
    discard();
}

QString ReplacingFile::temporaryPath(const QString& target) {
    return target + QStringLiteral(".koro-new");
}

void ReplacingFile::removeStrayTemporary(const QString& target) {
    const QByteArray path = QFile::encodeName(temporaryPath(target));
    struct stat status {};
    // Only our own regular file: a link or someone else's file there is left alone.
    if (::lstat(path.constData(), &status) == 0 && S_ISREG(status.st_mode) &&
        status.st_uid == ::getuid())
        ::unlink(path.constData());
}

bool ReplacingFile::open() {
    discard();
    m_failed = false;
    const QByteArray path = QFile::encodeName(m_temporary);
    ::unlink(path.constData());
    // The new file keeps the permissions of the one it replaces.
    struct stat existing {};
    const mode_t mode = ::stat(QFile::encodeName(m_target).constData(), &existing) == 0
                            ? (existing.st_mode & 07777)
                            : 0666;
    m_fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, mode);
    if (m_fd >= 0 && existing.st_mode != 0)
        (void)::fchmod(m_fd, mode);
    return m_fd >= 0;
}

bool ReplacingFile::write(const QByteArray& bytes) {
    if (m_fd < 0 || m_failed)
        return false;
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(m_fd, bytes.constData() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            m_failed = true;
            return false;
        }
        done += n;
    }
    return true;
}

bool ReplacingFile::commit() {
    if (m_fd < 0 || m_failed) {
        discard();
        return false;
    }
    const bool synced = ::fsync(m_fd) == 0;
    const bool closed = ::close(m_fd) == 0;
    m_fd = -1;
    if (!synced || !closed ||
        ::rename(QFile::encodeName(m_temporary).constData(),
                 QFile::encodeName(m_target).constData()) != 0) {
        ::unlink(QFile::encodeName(m_temporary).constData());
        return false;
    }
    return true;
}

void ReplacingFile::discard() {
    if (m_fd < 0)
        return;
    ::close(m_fd);
    m_fd = -1;
    ::unlink(QFile::encodeName(m_temporary).constData());
}

} // namespace koro
