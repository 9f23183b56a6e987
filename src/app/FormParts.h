#pragma once

#include <QDir>
#include <QString>

namespace koro {

class AdLine;
class BrowserControl;
class DisplayPresets;
class FavoritesMenu;
class HotkeyDispatch;
class MuteToggle;
class NavigationBar;
class NewWindowPolicy;
class ScheduledViewing;
class ShutdownTimer;
class SoftSetLauncher;
class TrayNotices;
class WindowModes;
namespace tv {
class TvFeature;
}

// Where the main window finds its files: settings, the language file read and the loading
// page through the executable's folder; what it writes at start, skins and the feed through
// the current directory.
struct FormPaths {
    QString exeDir;      // without trailing slash
    QString exeBaseName; // executable name without extension
    QDir currentDir;
};

// The features the main window is assembled from, for the wiring tests and the test harness.
// They live as long as the window.
struct FormParts {
    BrowserControl* page = nullptr;    // webbrowser1
    BrowserControl* catcher = nullptr; // Webbrowser2
    BrowserControl* loading = nullptr; // WebLoading
    NavigationBar* navigation = nullptr;
    AdLine* adLine = nullptr;
    NewWindowPolicy* newWindows = nullptr;
    FavoritesMenu* favorites = nullptr;
    WindowModes* windowModes = nullptr;
    TrayNotices* trayNotices = nullptr;
    DisplayPresets* displayPresets = nullptr;
    MuteToggle* mute = nullptr;
    HotkeyDispatch* hotkeys = nullptr;
    ScheduledViewing* viewing = nullptr;
    ShutdownTimer* shutdown = nullptr;
    SoftSetLauncher* softSet = nullptr;
    tv::TvFeature* tv = nullptr;
};

} // namespace koro
