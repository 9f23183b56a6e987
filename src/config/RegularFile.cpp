#include "config/RegularFile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

namespace koro {

namespace {

class FileDescriptor {
public:
    explicit FileDescriptor(int fd)
        : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

} // namespace

std::optional<QByteArray> readRegularFile(const QByteArray& localPath, qsizetype maxBytes) {
    // O_NONBLOCK: opening a pipe that has no writer would otherwise wait for one.
    const FileDescriptor fd(
        ::open(localPath.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (fd.get() < 0)
        return std::nullopt;
    struct stat status {};
    if (::fstat(fd.get(), &status) != 0 || !S_ISREG(status.st_mode))
        return std::nullopt;
    const qsizetype limit = maxBytes < 0 ? std::numeric_limits<qsizetype>::max() : maxBytes;
    QByteArray bytes;
    if (limit == 0)
        return bytes;
    // One read more than the size finds the end without growing the buffer.
    bytes.resize(std::min<qsizetype>(limit, std::max<qsizetype>(status.st_size + 1, 4096)));
    qsizetype size = 0;
    while (size < limit) {
        if (size == bytes.size())
            bytes.resize(std::min(limit, bytes.size() * 2));
        const ssize_t got = ::read(fd.get(), bytes.data() + size, bytes.size() - size);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return std::nullopt;
        }
        if (got == 0)
            break;
        size += got;
    }
    bytes.truncate(size);
    return bytes;
}

std::optional<QByteArray> readRegularFile(const QString& path, qsizetype maxBytes) {
    return readRegularFile(QFile::encodeName(path), maxBytes);
}

bool isRegularFile(const QString& path) {
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 && S_ISREG(status.st_mode);
}

} // namespace koro
