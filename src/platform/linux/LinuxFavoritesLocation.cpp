#include "platform/linux/LinuxFavoritesLocation.h"

#include <QDesktopServices>
#include <QDir>
#include <QUrl>

namespace koro {

LinuxFavoritesLocation::LinuxFavoritesLocation()
    : m_folder(QDir::homePath() + QStringLiteral("/Favorites")) {}

QString LinuxFavoritesLocation::folder() const {
    return m_folder;
}

void LinuxFavoritesLocation::organize() {
    QDir().mkpath(m_folder);
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_folder));
}

} // namespace koro
