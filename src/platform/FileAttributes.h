#pragma once

#include <QFileInfo>

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

} // namespace koro
