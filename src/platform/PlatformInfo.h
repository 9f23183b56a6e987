#pragma once

namespace koro {

// Platform family as the housekeeping and shutdown code distinguish it.
enum class PlatformFamily { Win9x = 1, NT = 2 };

class PlatformInfo {
public:
    virtual ~PlatformInfo() = default;
    virtual PlatformFamily family() const = 0;
};

} // namespace koro
