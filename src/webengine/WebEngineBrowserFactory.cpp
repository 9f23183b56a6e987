#include "webengine/WebEngineBrowserFactory.h"

#include "webengine/LoadingPageView.h"
#include "webengine/TEwbCore.h"

#include <QWebEngineProfile>

namespace koro {

WebEngineBrowserFactory::WebEngineBrowserFactory(const QString& dataFolder) {
    if (dataFolder.isEmpty())
        return;
    QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
    profile->setPersistentStoragePath(dataFolder + QStringLiteral("/QtWebEngine/Default"));
    profile->setCachePath(dataFolder + QStringLiteral("/cache/QtWebEngine/Default"));
}

BrowserControl* WebEngineBrowserFactory::create(BrowserRole role, QWidget* parent) {
    if (role == BrowserRole::LoadingIcon)
        return new LoadingPageView(parent);
    return new TEwbCore(role, parent);
}

} // namespace koro
