#include "webengine/EngineProfile.h"

#include "webengine/OwnPages.h"

#include <QWebEngineProfile>
#include <QWebEngineUrlScheme>

namespace koro {

EngineProfile::EngineProfile(QString dataFolder)
    : m_dataFolder(std::move(dataFolder))
    , m_ownPages(std::make_unique<OwnPages>()) {}

EngineProfile::~EngineProfile() = default;

QWebEngineProfile* EngineProfile::get() {
    QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
    if (std::exchange(m_ready, true))
        return profile;
    if (!QWebEngineUrlScheme::schemeByName(OwnPages::Scheme).name().isEmpty())
        profile->installUrlSchemeHandler(OwnPages::Scheme, m_ownPages.get());
    if (!m_dataFolder.isEmpty()) {
        profile->setPersistentStoragePath(m_dataFolder + QStringLiteral("/QtWebEngine/Default"));
        profile->setCachePath(m_dataFolder + QStringLiteral("/cache/QtWebEngine/Default"));
    }
    return profile;
}

} // namespace koro
