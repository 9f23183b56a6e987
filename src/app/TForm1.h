#pragma once

#include "config/AppSettings.h"
#include "config/Endpoints.h"
#include "config/ImageList.h"
#include "platform/Mixer.h"
#include "platform/TrayIcon.h"

#include <QByteArray>
#include <QDir>
#include <QPointer>
#include <QWidget>
#include <memory>

class QTimer;

namespace Ui {
class TForm1;
}

namespace koro {

struct Platform;
class BrowserControl;
class NavigationBar;
class NewWindowPolicy;
class FavoritesMenu;
class WindowModes;
class DisplayPresets;
class TrayNotices;
class MuteToggle;
class HotkeyDispatch;
class ProfileFile;
struct LanguagePaths;
class AdLine;
class ScheduledViewing;
class ShutdownTimer;
class SoftSetLauncher;
struct ScheduleHooks;
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

// The main window: its layout, start-up, exit and the operations other parts call.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    TForm1(Platform& platform, Endpoints endpoints, FormPaths paths, QWidget* parent = nullptr);
    ~TForm1() override;

    // The start-up sequence; every step runs even when one before it failed.
    void FormCreate();
    // Decides whether the window may close; false brings it back.
    bool FormCloseQuery();

    void Saveini();
    void ApplyLanguage(int languageId, QWidget* form);
    // The button pressed as the platform's code: IdYes (6), IdNo (7), IdOk (1) and so on.
    int LanguageMessageBox(const QString& key, int flags);
    void ApplySkin(const QByteArray& name);
    void FillSkinMenu();
    void SetSearchEngine(int imageIndex);
    QByteArray searchEngine() const;
    void RegisterAllHotKeys();
    void UnregisterAllHotKeys();
    void AddFavToMenu(QObject* menuItem);

    void ShowMainWindow();
    void HideMainWindow();
    void ToggleMainWindowHidden();
    void ToggleMaximized();
    void ToggleCompactMode();
    void SetAlwaysOnTop(bool on);
    bool SetDisplayResolution(std::uint16_t width, std::uint16_t height);
    void ShowBalloonNotice(const QString& title, const QString& text, BalloonIconKind kind,
                           int timeoutSeconds);
    void ClearBalloonNotice();
    QRect trayIconGeometry() const;
    QPoint IconCursorOffset(QPoint screenPoint) const;
    void MenuSoundClick();
    bool GetMute(MixerLine line);
    void SetMute(MixerLine line, bool muted);
    void MenuCloseHotKeyClick();

    // Timer handlers, callable directly from tests.
    void Timer_GoHomeTimer();
    void TrimTimerProc();

    // The ad line, the scheduled viewing and shutdown, the settings dialog.
    void StartDownload(const QString& url, const QString& fileName);
    void Timer_ReadadTimer();
    void ReadAdFile();
    void gogg();
    void labeladClick();
    void Timer_SeeTvTimer();
    void TimerSoundTimer();
    void TimerPowerOffTimer();
    void Menu_SoftSetClick();
    void MenuPowerClick();
    // The timer dialog in viewing mode for a channel.
    void OpenViewingDialog(const QString& channelName, const QString& channelUrl);
    AdLine& adLine() const { return *m_adLine; }
    ScheduledViewing& viewing() const { return *m_viewing; }
    ShutdownTimer& shutdown() const { return *m_shutdown; }
    SoftSetLauncher& softSet() const { return *m_softSet; }
    tv::TvFeature& tv() const { return *m_tv; }

    AppSettings& settings() { return m_settings; }
    Platform& platform() { return m_platform; }
    Ui::TForm1& ui() { return *m_ui; }
    const Endpoints& endpoints() const { return m_endpoints; }
    const ImageList& imageList() const { return m_imageList; }
    bool minimizeToTray() const;
    TrayNotices& trayNotices() const { return *m_trayNotices; }
    BrowserControl* webbrowser1() const { return m_webbrowser1; }
    BrowserControl* Webbrowser2() const { return m_webbrowser2; }
    BrowserControl* WebLoading() const { return m_webLoading; }
    NewWindowPolicy& newWindows() const { return *m_newWindows; }
    QTimer* timer(const char* name) const;

signals:
    // The close was agreed: the message loop should end.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    LanguagePaths languagePaths() const;
    QString skinDir() const;
    void buildComponents();
    void buildFeatures();
    void buildTimers();
    void buildSchedule();
    ScheduleHooks scheduleHooks();
    void connectMenus();
    void buildDesktop();
    void readSettings();
    void WebBrowser1DocumentComplete(const QString& url);
    bool askExitWithoutSaving(const QString& reason);

    std::unique_ptr<Ui::TForm1> m_ui;
    Platform& m_platform;
    Endpoints m_endpoints;
    FormPaths m_paths;
    AppSettings m_settings;
    std::unique_ptr<ProfileFile> m_configIni;
    std::unique_ptr<ProfileFile> m_userIni;
    BrowserControl* m_webbrowser1 = nullptr;
    BrowserControl* m_webbrowser2 = nullptr;
    BrowserControl* m_webLoading = nullptr;
    NewWindowPolicy* m_newWindows = nullptr;
    FavoritesMenu* m_favorites = nullptr;
    QTimer* m_trimTimer = nullptr;
    int m_goHomeTicks = 0;
    std::unique_ptr<WindowModes> m_windowModes;
    std::unique_ptr<TrayNotices> m_trayNotices;
    DisplayPresets* m_displayPresets = nullptr;
    MuteToggle* m_mute = nullptr;
    HotkeyDispatch* m_hotkeys = nullptr;
    ImageList m_imageList{this};
    std::unique_ptr<NavigationBar> m_navigationBar;
    AdLine* m_adLine = nullptr;
    ScheduledViewing* m_viewing = nullptr;
    ShutdownTimer* m_shutdown = nullptr;
    SoftSetLauncher* m_softSet = nullptr;
    tv::TvFeature* m_tv = nullptr;
};

} // namespace koro
