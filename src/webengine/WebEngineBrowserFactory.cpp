#include "webengine/WebEngineBrowserFactory.h"

#include "webengine/EngineProfile.h"
#include "webengine/ExternalSchemes.h"
#include "webengine/LoadingPageView.h"
#include "webengine/TEwbCore.h"
#include "webengine/UnrequestedWindowLimit.h"

namespace koro {

WebEngineBrowserFactory::WebEngineBrowserFactory(ShellOpen* shell, const QString& dataFolder)
    : m_profile(std::make_shared<EngineProfile>(dataFolder)) {
    if (shell)
        m_external = std::make_unique<ExternalOpener>(*shell, &ExternalOpener::askWithMessageBox);
}

WebEngineBrowserFactory::~WebEngineBrowserFactory() = default;

BrowserControl* WebEngineBrowserFactory::create(BrowserRole role, QWidget* parent) {
    if (role == BrowserRole::LoadingIcon)
        return new LoadingPageView(parent);
    return new TEwbCore(role, parent, m_external.get(), m_windowLimit, m_profile);
}

} // namespace koro
