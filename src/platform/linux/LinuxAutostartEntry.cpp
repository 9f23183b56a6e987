#include "platform/linux/LinuxAutostartEntry.h"

#include <QFile>

namespace koro {

LinuxAutostartEntry::LinuxAutostartEntry(QString entryPath)
    : m_entryPath(std::move(entryPath)) {}

void LinuxAutostartEntry::removeEntry() {
    // A missing entry, a folder of that name or a protected file are all left as they are.
    QFile::remove(m_entryPath);
}

} // namespace koro
