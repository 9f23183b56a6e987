#pragma once

#include "webengine/BrowserControl.h"
#include "webengine/UnrequestedWindowLimit.h"

#include <memory>

namespace koro {

class ExternalOpener;
class EngineProfile;
class ShellOpen;

// Makes the real browser instances (TEwbCore).
class WebEngineBrowserFactory : public BrowserFactory {
public:
    // Addresses that pages ask for but the engine does not handle go to shell after the user
    // agreed; without a shell they are refused. With a data folder, the engine keeps its
    // storage and cache there instead of the desktop's default places. The program's own pages
    // (OwnPages) load in every page area.
    explicit WebEngineBrowserFactory(ShellOpen* shell = nullptr,
                                     const QString& dataFolder = QString());
    ~WebEngineBrowserFactory() override;

    BrowserControl* create(BrowserRole role, QWidget* parent) override;

private:
    std::unique_ptr<ExternalOpener> m_external;
    // Shared: pages may outlive the factory at exit.
    std::shared_ptr<EngineProfile> m_profile;
    // One count for every page: popups opening popups share it.
    std::shared_ptr<UnrequestedWindowLimit> m_windowLimit =
        std::make_shared<UnrequestedWindowLimit>();
};

} // namespace koro
