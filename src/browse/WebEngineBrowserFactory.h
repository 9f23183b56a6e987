#pragma once

#include "platform/BrowserControl.h"

#include <memory>

namespace koro {

class ExternalOpener;
class ShellOpen;

// Makes the real browser instances (TEwbCore).
class WebEngineBrowserFactory : public BrowserFactory {
public:
    // Addresses that pages ask for but the engine does not handle go to shell after the user
    // agreed; without a shell they are refused.
    explicit WebEngineBrowserFactory(ShellOpen* shell = nullptr);
    ~WebEngineBrowserFactory() override;

    BrowserControl* create(BrowserRole role, QWidget* parent) override;

private:
    std::unique_ptr<ExternalOpener> external_;
};

} // namespace koro
