#pragma once

#include <QString>

#include <memory>

class QWebEngineProfile;

namespace koro {

class OwnPages;

// The engine's profile, set up when the first page needs it: touching the profile starts the
// engine, some tens of milliseconds that the main window does not wait for.
class EngineProfile {
public:
    // With a data folder, the engine keeps its storage and cache there instead of the desktop's
    // default places. The program's own pages load in every page.
    explicit EngineProfile(QString dataFolder = QString());
    ~EngineProfile();
    EngineProfile(const EngineProfile&) = delete;
    EngineProfile& operator=(const EngineProfile&) = delete;

    QWebEngineProfile* get();

private:
    QString m_dataFolder;
    std::unique_ptr<OwnPages> m_ownPages;
    bool m_ready = false;
};

} // namespace koro
