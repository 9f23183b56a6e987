#pragma once

#include "platform/PlatformInfo.h"

namespace koro {

class LinuxPlatformInfo : public PlatformInfo {
public:
    PlatformFamily family() const override;
};

} // namespace koro
