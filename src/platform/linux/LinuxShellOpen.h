#pragma once

#include "platform/ShellOpen.h"

namespace koro {

class LinuxShellOpen : public ShellOpen {
public:
    void open(const QString& address) override;
};

} // namespace koro
