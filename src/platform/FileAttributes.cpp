#include "platform/FileAttributes.h"

namespace koro {

FileAttributes fileAttributes(const QFileInfo& info) {
    FileAttributes attributes;
    attributes.directory = info.isDir();
    attributes.archive = info.isFile();
    // The owner's mode bit, not access(): root may write anything, yet a file without the
    // bit is still read-only to the menus.
    attributes.readOnly = info.exists() && !info.permission(QFileDevice::WriteOwner);
    attributes.hidden = info.fileName().startsWith(QLatin1Char('.'));
    return attributes;
}

FileAttributes fileAttributes(const struct stat& status, QByteArrayView name) {
    FileAttributes attributes;
    attributes.directory = S_ISDIR(status.st_mode);
    attributes.archive = S_ISREG(status.st_mode);
    attributes.readOnly = (status.st_mode & S_IWUSR) == 0;
    attributes.hidden = name.startsWith('.');
    return attributes;
}

} // namespace koro
