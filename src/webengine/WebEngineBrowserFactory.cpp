#include "webengine/WebEngineBrowserFactory.h"

#include "webengine/LoadingPageView.h"
#include "webengine/TEwbCore.h"

namespace koro {

BrowserControl* WebEngineBrowserFactory::create(BrowserRole role, QWidget* parent) {
    if (role == BrowserRole::LoadingIcon)
        return new LoadingPageView(parent);
    return new TEwbCore(role, parent);
}

} // namespace koro
