#pragma once

#include <QSize>

#include <cstdint>

namespace koro {

class DisplayModes {
public:
    virtual ~DisplayModes() = default;
    // True when the primary display now runs at the size; a size the display does not list is
    // refused and leaves the display as it was.
    virtual bool setResolution(std::uint16_t width, std::uint16_t height) = 0;
    // The size the primary display runs at now; empty when that cannot be told.
    virtual QSize resolution() const = 0;
};

} // namespace koro
