#pragma once

#include <QString>

namespace koro {

class FavoritesLocation {
public:
    virtual ~FavoritesLocation() = default;
    // Absolute folder path, without trailing slash; the folder may not exist.
    virtual QString folder() const = 0;
    // Opens the folder in the desktop's file manager, creating it when missing.
    virtual void organize() = 0;
};

} // namespace koro
