#pragma once

#include "webengine/BrowserControl.h"

namespace koro {

// Makes the real browser instances (TEwbCore).
class WebEngineBrowserFactory : public BrowserFactory {
public:
    // With a data folder, the engine keeps its storage and cache there instead of the
    // desktop's default places.
    explicit WebEngineBrowserFactory(const QString& dataFolder = QString());

    BrowserControl* create(BrowserRole role, QWidget* parent) override;
};

} // namespace koro
