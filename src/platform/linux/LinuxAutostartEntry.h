#pragma once

#include "platform/AutostartEntry.h"

#include <QString>

namespace koro {

class LinuxAutostartEntry : public AutostartEntry {
public:
    explicit LinuxAutostartEntry(
        QString entryPath = QStringLiteral("/etc/xdg/autostart/Tarvolin.desktop"));
    void removeEntry() override;

private:
    QString entryPath_;
};

} // namespace koro
