#pragma once

#include "webengine/BrowserControl.h"

namespace koro {

// Makes the real browser instances (TEwbCore).
class WebEngineBrowserFactory : public BrowserFactory {
public:
    BrowserControl* create(BrowserRole role, QWidget* parent) override;
};

} // namespace koro
