#pragma once

#include "app/FormParts.h"
#include "config/AppSettings.h"
#include "config/Endpoints.h"
#include "config/ImageList.h"

#include <QTimer>
#include <QWidget>
#include <memory>

namespace Ui {
class TForm1;
}

namespace koro {

struct Platform;
class BrowserFactory;
class ProfileFile;
struct LanguagePaths;

// The main window: its layout and menus, start-up and exit, and the wiring of its features.
class TForm1 : public QWidget {
    Q_OBJECT
public:
    TForm1(Platform& platform, BrowserFactory& browsers, Endpoints endpoints, FormPaths paths,
           QWidget* parent = nullptr);
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

    // Timer handlers, callable directly from tests.
    void Timer_GoHomeTimer();
    void TrimTimerProc();

    const FormParts& parts() const { return m_parts; }
    AppSettings& settings() { return m_settings; }
    Platform& platform() { return m_platform; }
    Ui::TForm1& ui() { return *m_ui; }
    // Found by name wherever they live: the schedule's belong to the parts that run them.
    QTimer* timer(const char* name) const { return findChild<QTimer*>(QString::fromLatin1(name)); }

signals:
    // The close was agreed: the message loop should end.
    void closed();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    LanguagePaths languagePaths() const;
    QString skinDir() const { return m_paths.currentDir.filePath("skin"); }
    void buildPageArea(BrowserFactory& browsers);
    void buildBrowsing(BrowserFactory& browsers);
    void buildDesktop();
    void buildSchedule();
    void buildTimers();
    void readSettings();
    void fillSkinMenu();

    std::unique_ptr<Ui::TForm1> m_ui;
    Platform& m_platform;
    Endpoints m_endpoints;
    FormPaths m_paths;
    AppSettings m_settings;
    ImageList m_imageList{this};
    std::unique_ptr<ProfileFile> m_configIni;
    std::unique_ptr<ProfileFile> m_userIni;
    std::unique_ptr<WindowModes> m_windowModes;
    std::unique_ptr<TrayNotices> m_trayNotices;
    FormParts m_parts;
    QTimer* m_trimTimer = nullptr;
    int m_goHomeTicks = 0;
};

} // namespace koro
