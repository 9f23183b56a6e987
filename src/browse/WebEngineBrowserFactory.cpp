#include "browse/WebEngineBrowserFactory.h"

#include "browse/LoadingPageView.h"
#include "browse/TEwbCore.h"
#include "webengine/ExternalSchemes.h"

namespace koro {

WebEngineBrowserFactory::WebEngineBrowserFactory(ShellOpen* shell) {
    if (shell)
        external_ = std::make_unique<ExternalOpener>(*shell, &ExternalOpener::askWithMessageBox);
}

WebEngineBrowserFactory::~WebEngineBrowserFactory() = default;

BrowserControl* WebEngineBrowserFactory::create(BrowserRole role, QWidget* parent) {
    if (role == BrowserRole::LoadingIcon)
        return new LoadingPageView(parent);
    return new TEwbCore(role, parent, external_.get());
}

} // namespace koro
