#include "webengine/WebEngineBrowserFactory.h"

#include "webengine/ExternalSchemes.h"
#include "webengine/LoadingPageView.h"
#include "webengine/OwnPages.h"
#include "webengine/TEwbCore.h"
#include "webengine/UnrequestedWindowLimit.h"

#include <QWebEngineProfile>
#include <QWebEngineUrlScheme>

namespace koro {

WebEngineBrowserFactory::WebEngineBrowserFactory(ShellOpen* shell, const QString& dataFolder)
    : m_ownPages(std::make_unique<OwnPages>()) {
    if (!QWebEngineUrlScheme::schemeByName(OwnPages::Scheme).name().isEmpty())
        QWebEngineProfile::defaultProfile()->installUrlSchemeHandler(OwnPages::Scheme,
                                                                     m_ownPages.get());
    if (shell)
        m_external = std::make_unique<ExternalOpener>(*shell, &ExternalOpener::askWithMessageBox);
    if (dataFolder.isEmpty())
        return;
    QWebEngineProfile* profile = QWebEngineProfile::defaultProfile();
    profile->setPersistentStoragePath(dataFolder + QStringLiteral("/QtWebEngine/Default"));
    profile->setCachePath(dataFolder + QStringLiteral("/cache/QtWebEngine/Default"));
}

WebEngineBrowserFactory::~WebEngineBrowserFactory() = default;

BrowserControl* WebEngineBrowserFactory::create(BrowserRole role, QWidget* parent) {
    if (role == BrowserRole::LoadingIcon)
        return new LoadingPageView(parent);
    return new TEwbCore(role, parent, m_external.get(), m_windowLimit);
}

} // namespace koro
