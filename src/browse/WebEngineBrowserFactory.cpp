#include "browse/WebEngineBrowserFactory.h"

#include "browse/LoadingPageView.h"
#include "browse/TEwbCore.h"

namespace koro {

BrowserControl* WebEngineBrowserFactory::create(BrowserRole role, QWidget* parent) {
    if (role == BrowserRole::LoadingIcon)
        return new LoadingPageView(parent);
    return new TEwbCore(role, parent);
}

} // namespace koro
