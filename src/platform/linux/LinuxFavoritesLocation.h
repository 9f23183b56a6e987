#pragma once

#include "platform/FavoritesLocation.h"

namespace koro {

// $HOME/Favorites.
class LinuxFavoritesLocation : public FavoritesLocation {
public:
    LinuxFavoritesLocation();
    QString folder() const override;
    void organize() override;

private:
    QString m_folder;
};

} // namespace koro
