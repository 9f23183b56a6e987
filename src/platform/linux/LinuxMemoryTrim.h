#pragma once

#include "platform/MemoryTrim.h"

namespace koro {

class LinuxMemoryTrim : public MemoryTrim {
public:
    void trimWorkingSet() override;
};

} // namespace koro
