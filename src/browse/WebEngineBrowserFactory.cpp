#include "browse/WebEngineBrowserFactory.h"

#include "browse/TEwbCore.h"

namespace koro {

BrowserControl* WebEngineBrowserFactory::create(BrowserRole role, QWidget* parent) {
    return new TEwbCore(role, parent);
}

} // namespace koro
