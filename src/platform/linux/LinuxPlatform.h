#pragma once

#include "platform/Platform.h"

#include <memory>

namespace koro {

// The real services of this system. Call it once the QApplication exists.
std::unique_ptr<Platform> makeLinuxPlatform();

} // namespace koro
