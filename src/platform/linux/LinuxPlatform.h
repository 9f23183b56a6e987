#pragma once

#include "platform/Platform.h"

#include <memory>

namespace koro {

// The real services of this system. Call it once the QApplication exists. `browsers` is left
// empty: the web engine's factory lives with the browser code and is set by the caller.
std::unique_ptr<Platform> makeLinuxPlatform();

} // namespace koro
