#pragma once

#include <QByteArrayView>
#include <QFileInfo>

#include <sys/stat.h>

namespace koro {

// The file attributes the menus filter on, derived from what the file system has.
struct FileAttributes {
    bool archive = false;  // a regular file
    bool readOnly = false; // no write bit for the owner
    bool hidden = false;   // name starts with "."
    bool directory = false;

    // Only the archive attribute (a plain file) or none at all.
    bool plainFile() const { return archive && !readOnly && !hidden && !directory; }
    // A directory with no other attribute.
    bool plainDirectory() const { return directory && !readOnly && !hidden; }
};

FileAttributes fileAttributes(const QFileInfo& info);

// The same rule for an entry known by the raw bytes of its name, which need not be valid text,
// and the status stat() gave for it.
FileAttributes fileAttributes(const struct stat& status, QByteArrayView name);

} // namespace koro
