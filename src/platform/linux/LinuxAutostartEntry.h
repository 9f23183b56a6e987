#pragma once

#include "platform/AutostartEntry.h"

#include <QString>

namespace koro {

class LinuxAutostartEntry : public AutostartEntry {
public:
    // The file name is data: it is the entry older installations left, which is what goes.
    explicit LinuxAutostartEntry(
        QString entryPath = QStringLiteral("/etc/xdg/autostart/Tarvolin.desktop"));
    void removeEntry() override;

private:
    QString m_entryPath;
};

} // namespace koro
