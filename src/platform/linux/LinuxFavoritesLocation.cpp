#include "platform/linux/LinuxFavoritesLocation.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace koro {

LinuxFavoritesLocation::LinuxFavoritesLocation()
    : folder_(QDir::homePath() + QStringLiteral("/Favorites")) {}

QString LinuxFavoritesLocation::folder() const {
    return folder_;
}

void LinuxFavoritesLocation::organize() {
    QDir().mkpath(folder_);
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder_));
}

} // namespace koro
