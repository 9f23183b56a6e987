#include "app/TForm1.h"

#include "app/CaptionRow.h"
#include "app/KoroApplication.h"
#include "app/StartupFiles.h"
#include "app/TvWiring.h"
#include "browse/FavoritesMenu.h"
#include "browse/LineSelection.h"
#include "browse/NavigationBar.h"
#include "browse/NewWindowPolicy.h"
#include "browse/SiteMenus.h"
#include "config/ApplicationTitle.h"
#include "config/CodePage.h"
#include "config/Error.h"
#include "config/Language.h"
#include "config/ProfileFile.h"
#include "config/ReplacingFile.h"
#include "config/Skins.h"
#include "desktop/DisplayPresets.h"
#include "desktop/HotkeyDispatch.h"
#include "desktop/MuteToggle.h"
#include "desktop/TrayNotices.h"
#include "desktop/WindowModes.h"
#include "platform/Platform.h"
#include "schedule/AdLine.h"
#include "schedule/ScheduledViewing.h"
#include "schedule/ShutdownTimer.h"
#include "schedule/SoftSetLauncher.h"
#include "ui_TForm1.h"

#include <QCloseEvent>
#include <QCursor>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QVBoxLayout>
#include <QWindow>

namespace koro {

namespace {

constexpr int GoHomeInterval = 100;
constexpr int TrimInterval = 10000;

struct TimerSpec {
    const char* name;
    int interval;
    bool active;
};

constexpr TimerSpec FormTimers[] = {
    {"Timer_GoHome", GoHomeInterval, true},
};

} // namespace

TForm1::TForm1(Platform& platform, Endpoints endpoints, FormPaths paths, QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::TForm1>())
    , m_platform(platform)
    , m_endpoints(std::move(endpoints))
    , m_paths(std::move(paths)) {
    initImageResources();
    m_ui->setupUi(this);
    buildComponents();
    buildFeatures();
    buildDesktop();
    buildTimers();
    buildSchedule();
    connectMenus();
    m_tv = wireTv(*this, m_paths.exeDir);
    m_favorites = new FavoritesMenu(m_ui->IE1, m_ui->AddFav, m_ui->FinishFav, m_webbrowser1,
                                    *m_platform.favorites, m_imageList, this);
}

TForm1::~TForm1() = default;

void TForm1::buildComponents() {
    addTvMenu(*m_ui->MainMenu1);
    new CaptionRow(m_ui->MainMenu1, m_ui->ToolBar2);

    // Layouts give fonts in points only; the address box's is 16 pixels high.
    QFont addressFont = m_ui->httpaddr->font();
    addressFont.setPixelSize(16);
    m_ui->httpaddr->setFont(addressFont);

    m_webbrowser1 = m_platform.browsers->create(BrowserRole::PageArea, m_ui->PageArea);
    m_webbrowser1->setObjectName("webbrowser1");
    auto* pageLayout = new QVBoxLayout(m_ui->PageArea);
    pageLayout->setContentsMargins(0, 0, 0, 0);
    pageLayout->addWidget(m_webbrowser1);

    // The catcher never shows a page: it sits outside the visible area.
    m_webbrowser2 = m_platform.browsers->create(BrowserRole::Catcher, this);
    m_webbrowser2->setObjectName("Webbrowser2");
    m_webbrowser2->setGeometry(-200, -200, 100, 100);
    m_webbrowser2->hide();

    m_webLoading = m_platform.browsers->create(BrowserRole::LoadingIcon, m_ui->PanelEdit);
    m_webLoading->setObjectName("WebLoading");
    m_webLoading->setGeometry(6, 5, 16, 16);
    m_webLoading->raise();

    connect(m_webbrowser1, &BrowserControl::documentComplete, this,
            &TForm1::WebBrowser1DocumentComplete);
}

void TForm1::buildDesktop() {
    m_windowModes =
        std::make_unique<WindowModes>(*this, WindowBars{m_ui->Panel7, m_ui->Panel2, m_ui->Panel3});
    m_trayNotices = std::make_unique<TrayNotices>(m_platform.tray.get(), *this, *m_windowModes,
                                                  m_ui->PoptrayRight);
    m_displayPresets = new DisplayPresets(*m_platform.display, *m_ui->PopupMenu2, this);
    m_mute = new MuteToggle(
        *m_platform.mixer, *m_trayNotices,
        [this](const QString& text) {
            QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, this);
            box.setObjectName("MixerErrorBox");
            box.exec();
        },
        this);
    m_hotkeys = new HotkeyDispatch(
        *m_platform.hotkeys, m_settings, *m_ui->MenuCloseHotKey, *m_trayNotices,
        {[this] { close(); }, [this] { ToggleMainWindowHidden(); }, [this] { ToggleCompactMode(); },
         [this] { ToggleMaximized(); }, [this] { MenuSoundClick(); }},
        this);

    connect(m_ui->MenuSound, &QAction::triggered, this, &TForm1::MenuSoundClick);
    connect(m_ui->menumax, &QAction::triggered, this, &TForm1::ToggleMaximized);
    connect(m_ui->menuhide, &QAction::triggered, this, &TForm1::ToggleMainWindowHidden);
    connect(m_ui->MenuMini, &QAction::triggered, this, &TForm1::ToggleCompactMode);
    connect(m_ui->tuopanshow, &QAction::triggered, this, &TForm1::ToggleMainWindowHidden);
    // The check mark is the item's own: it starts clear whatever FrontShow did at start.
    connect(m_ui->Poptopshow, &QAction::triggered, this, &TForm1::SetAlwaysOnTop);
}

void TForm1::buildFeatures() {
    Ui::TForm1& ui = *m_ui;
    const NavigationBar::Widgets navigation{
        ui.Labelback, ui.goback,         ui.gobackenter,    ui.gobackfalse,  ui.Labelforward,
        ui.goforward, ui.goforwardenter, ui.goforwardfalse, ui.Labelstop,    ui.stop,
        ui.stopenter, ui.Labelrefresh,   ui.refresh,        ui.refreshenter, ui.Labelhome,
        ui.homepage,  ui.homepageenter,  ui.gohttp,         ui.gohttpimg2,   ui.gohttpimg1,
        ui.httpaddr,  ui.Imgsiteico,     ui.PopupMenu3,     ui.Popbaidu,     ui.PopTaoBao};
    m_navigationBar =
        std::make_unique<NavigationBar>(navigation, *m_webbrowser1, *m_webLoading,
                                        *m_platform.shell, m_endpoints, m_imageList, m_settings);
    m_newWindows = new NewWindowPolicy(*this, *m_webbrowser1, *m_webbrowser2, *m_platform.browsers,
                                       m_settings);
    new SiteMenus(*this, ui.gywm, *m_webbrowser1, m_endpoints);
    new LineSelection(ui.telcom, ui.cnc, *m_webbrowser1, m_endpoints, m_settings, this);
}

void TForm1::buildTimers() {
    for (const TimerSpec& spec : FormTimers) {
        auto* t = new QTimer(this);
        t->setObjectName(spec.name);
        t->setInterval(spec.interval);
        if (spec.active)
            t->start();
    }
    connect(timer("Timer_GoHome"), &QTimer::timeout, this, &TForm1::Timer_GoHomeTimer);

    // Housekeeping is not a component of the form: it has no object name.
    m_trimTimer = new QTimer(this);
    m_trimTimer->setInterval(TrimInterval);
    connect(m_trimTimer, &QTimer::timeout, this, &TForm1::TrimTimerProc);
}

QTimer* TForm1::timer(const char* name) const {
    // The schedule's timers belong to the objects that run them.
    return findChild<QTimer*>(QString::fromLatin1(name));
}

void TForm1::connectMenus() {
    connect(m_ui->menuexit, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->tuopanexit, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->Panel9, &QWidget::customContextMenuRequested, this,
            [this] { m_ui->PopupMenu2->popup(QCursor::pos()); });
}

void TForm1::FormCreate() {
    // Each step is contained on its own: a failing step must not skip the ones after it.
    containStep("stray temporary files", [&] {
        for (const QString& file : {m_paths.exeDir + "/Config.ini", m_paths.exeDir + "/user.ini",
                                    m_paths.currentDir.filePath("ad.txt")})
            ReplacingFile::removeStrayTemporary(file);
    });
    containStep("start-up files", [&] { extractStartupFiles(m_paths.currentDir); });
    containStep("screen saver", [&] { m_platform.screenSaver->setActive(false); });
    readSettings();
    containStep("housekeeping timer", [&] { m_trimTimer->start(); });

    // The page has the keyboard at start, as in a browser. A blinking caret in the address box
    // would also recomposite the whole window twice a second, the page included.
    m_webbrowser1->setFocus();
    resize(784, 564);
    if (const QScreen* screen = this->screen()) {
        const QRect area = screen->availableGeometry();
        move(area.center() - rect().center());
    }
}

void TForm1::readSettings() {
    containStep("Config.ini", [&] {
        m_configIni = std::make_unique<ProfileFile>(m_paths.exeDir + "/Config.ini");
        m_settings.readConfigIni(*m_configIni);
    });
    containStep("hotkeys", [&] { m_hotkeys->start(); });
    containStep("skin", [&] {
        if (m_settings.hasSkin())
            ApplySkin(m_settings.pifu);
    });
    containStep("search engine", [&] {
        const QByteArray findWay = readSearchEngine(*m_configIni);
        if (findWay == "Baidu")
            SetSearchEngine(2);
        else if (findWay == "TaoBao")
            SetSearchEngine(7);
    });
    containStep("language", [&] {
        m_settings.LanguageId = 2052;
        ApplyLanguage(m_settings.LanguageId, this);
    });
    containStep("minimise to tray",
                [&] { m_trayNotices->setMinimizeToTray(!m_settings.minimizeToTaskbar()); });
    containStep("user.ini", [&] {
        m_userIni = std::make_unique<ProfileFile>(m_paths.exeDir + "/user.ini");
        m_settings.readUserIni(*m_userIni, m_endpoints);
        const bool onTelecom = m_settings.onTelecomLine(m_endpoints);
        m_ui->telcom->setChecked(onTelecom);
        m_ui->cnc->setChecked(!onTelecom);
    });
    containStep("viewing check", [&] {
        if (m_settings.viewingScheduled())
            m_viewing->Timer_SeeTv().start();
    });
    containStep("always on top", [&] { SetAlwaysOnTop(m_settings.alwaysOnTop()); });
    containStep("favorites", [&] { AddFavToMenu(m_ui->IE1); });
    containStep("skin menu", [&] { FillSkinMenu(); });
    containStep("compact start", [&] {
        if (m_settings.compactAtStart())
            ToggleCompactMode();
    });
}

void TForm1::Timer_GoHomeTimer() {
    ++m_goHomeTicks;
    if (m_goHomeTicks == 2) {
        QTimer* goHome = timer("Timer_GoHome");
        goHome->stop();
        goHome->deleteLater();
        goHome->setObjectName(QString());
        m_webbrowser1->navigate(QString::fromUtf8(m_settings.SP));
        return;
    }
    m_webLoading->navigate(m_paths.exeDir + "/html/loading.htm");
    StartDownload(m_endpoints.adFeed, "ad.txt");
}

void TForm1::TrimTimerProc() {
    if (m_platform.platformInfo->family() == PlatformFamily::NT)
        m_platform.memoryTrim->trimWorkingSet();
}

void TForm1::WebBrowser1DocumentComplete(const QString&) {
    m_navigationBar->WebBrowser1DocumentComplete();
    // The tray icon is destroyed only by an agreed close, which then loads the blank page.
    if (!m_platform.tray)
        QCoreApplication::exit(0);
}

void TForm1::closeEvent(QCloseEvent* event) {
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    emit closed();
}

bool TForm1::FormCloseQuery() {
    HideMainWindow();
    if (!m_settings.closeWithoutAsking()) {
        if (LanguageMessageBox("Exittips", MbYesNo) != IdYes) {
            if (!isVisible())
                ShowMainWindow();
            return false;
        }
    }
    try {
        Saveini();
    } catch (const std::exception& e) {
        if (!askExitWithoutSaving(QString::fromLocal8Bit(e.what()))) {
            ShowMainWindow();
            return false;
        }
    }
    m_platform.tray.reset();
    containStep("blank page", [&] { m_webbrowser1->navigate("about:blank"); });
    return true;
}

bool TForm1::askExitWithoutSaving(const QString& reason) {
    QMessageBox box(QMessageBox::Warning, applicationTitle(),
                    reason + QStringLiteral("\n\n设置无法保存。不保存设置直接退出吗?"),
                    QMessageBox::Yes | QMessageBox::No);
    box.setObjectName("SaveFailedBox");
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void TForm1::Saveini() {
    if (!m_configIni || !m_userIni) // start-up ended before the files were opened
        throw Error("Unable to write to " + (m_paths.exeDir + "/Config.ini").toStdString());
    saveIni(m_settings, searchEngine(), *m_configIni, *m_userIni, *m_platform.screenSaver,
            *m_platform.autostart);
}

LanguagePaths TForm1::languagePaths() const {
    LanguagePaths paths = LanguagePaths::forApplication();
    paths.exeDir = m_paths.exeDir;
    paths.exeBaseName = m_paths.exeBaseName;
    return paths;
}

void TForm1::ApplyLanguage(int languageId, QWidget* form) {
    applyLanguage(languageId, form, languagePaths());
}

int TForm1::LanguageMessageBox(const QString& key, int flags) {
    return messageBoxResultCode(
        languageMessageBox(key, flags, m_settings.LanguageId, languagePaths()));
}

QString TForm1::skinDir() const {
    return m_paths.currentDir.filePath("skin");
}

void TForm1::ApplySkin(const QByteArray& name) {
    applySkin(name, m_settings.pifu, skinDir());
}

void TForm1::FillSkinMenu() {
    auto* skins = new SkinMenu(m_ui->huanfu, this);
    connect(skins, &SkinMenu::skinChosen, this,
            [this](const QString& fileName) { ApplySkin(codepage::fromUnicode(fileName)); });
    skins->fill(skinDir());
}

void TForm1::SetSearchEngine(int imageIndex) {
    m_navigationBar->SetSearchEngine(imageIndex);
}

QByteArray TForm1::searchEngine() const {
    return m_navigationBar->searchEngine();
}

void TForm1::RegisterAllHotKeys() {
    m_hotkeys->RegisterAllHotKeys();
}

void TForm1::UnregisterAllHotKeys() {
    m_hotkeys->UnregisterAllHotKeys();
}

void TForm1::MenuCloseHotKeyClick() {
    m_hotkeys->MenuCloseHotKeyClick();
}

void TForm1::StartDownload(const QString& url, const QString& fileName) {
    m_adLine->StartDownload(url, fileName);
}

ScheduleHooks TForm1::scheduleHooks() {
    ScheduleHooks hooks;
    hooks.notice = [this](const QString& title, const QString& text) {
        ShowBalloonNotice(title, text, BalloonIconKind::Info, 10);
    };
    hooks.clearNotice = [this] { ClearBalloonNotice(); };
    hooks.trayIconGeometry = [this] { return trayIconGeometry(); };
    hooks.mainWindowVisible = [this] { return isVisible(); };
    hooks.showMainWindow = [this] { ShowMainWindow(); };
    hooks.navigate = [this](const QString& url) { m_webbrowser1->navigate(url); };
    hooks.applyLanguage = [this](QWidget* form) {
        containStep("language", [&] { ApplyLanguage(m_settings.LanguageId, form); });
    };
    hooks.mainWindow = this;
    return hooks;
}

void TForm1::buildSchedule() {
    m_adLine = new AdLine(
        m_ui->labelad, m_paths.currentDir.filePath("ad.txt"),
        [this](const QString& url) {
            containStep("ad popup", [&] { m_newWindows->openPopup(url); });
        },
        *m_platform.shell, this);
    m_viewing = new ScheduledViewing(
        m_settings, [this] { return m_userIni.get(); }, *m_platform.alarm,
        m_paths.currentDir.filePath("Tvlist/COCK.wav"), scheduleHooks(), systemClock(), this);
    m_shutdown = new ShutdownTimer(m_settings, *m_platform.power, *m_platform.platformInfo,
                                   scheduleHooks(), systemClock(), this);

    SoftSetHooks softSet;
    softSet.searchEngine = [this] { return searchEngine(); };
    softSet.applySkin = [this](const QByteArray& name) { ApplySkin(name); };
    softSet.setSearchEngine = [this](bool baidu) { SetSearchEngine(baidu ? 2 : 7); };
    softSet.setAlwaysOnTop = [this](bool on) { SetAlwaysOnTop(on); };
    softSet.setMinimizeToTray = [this](bool on) { m_trayNotices->setMinimizeToTray(on); };
    softSet.applyLanguage = scheduleHooks().applyLanguage;
    softSet.openShutdownDialog = [this] { m_shutdown->openTimerDialog(); };
    m_softSet = new SoftSetLauncher(m_settings, skinDir(), softSet, this);

    connect(m_ui->Menu_SoftSet, &QAction::triggered, this, &TForm1::Menu_SoftSetClick);
    connect(m_ui->MenuPower, &QAction::triggered, this, &TForm1::MenuPowerClick);
    connect(m_webbrowser1, &BrowserControl::contextMenuAboutToShow, this, [this](QMenu* menu) {
        menu->addSeparator();
        QAction* action = menu->addAction(QStringLiteral("定时观看..."));
        action->setObjectName("ScheduleViewing");
        connect(action, &QAction::triggered, this, [this] {
            OpenViewingDialog(m_webbrowser1->locationName(), m_webbrowser1->locationURL());
        });
    });
}

void TForm1::Timer_ReadadTimer() {
    m_adLine->Timer_ReadadTimer();
}

void TForm1::ReadAdFile() {
    m_adLine->ReadAdFile();
}

void TForm1::gogg() {
    m_adLine->gogg();
}

void TForm1::labeladClick() {
    m_adLine->labeladClick();
}

void TForm1::Timer_SeeTvTimer() {
    m_viewing->Timer_SeeTvTimer();
}

void TForm1::TimerSoundTimer() {
    m_viewing->TimerSoundTimer();
}

void TForm1::TimerPowerOffTimer() {
    m_shutdown->TimerPowerOffTimer();
}

void TForm1::Menu_SoftSetClick() {
    m_softSet->open();
}

void TForm1::MenuPowerClick() {
    m_shutdown->openTimerDialog();
    m_softSet->closeLatest();
}

void TForm1::OpenViewingDialog(const QString& channelName, const QString& channelUrl) {
    m_viewing->openTimerDialog(channelName, channelUrl);
}

void TForm1::AddFavToMenu(QObject* menuItem) {
    m_favorites->AddFavToMenu(qobject_cast<QMenu*>(menuItem));
}

void TForm1::ShowMainWindow() {
    m_windowModes->ShowMainWindow();
}

void TForm1::HideMainWindow() {
    m_windowModes->HideMainWindow();
}

void TForm1::ToggleMainWindowHidden() {
    m_windowModes->ToggleMainWindowHidden();
}

void TForm1::ToggleMaximized() {
    m_windowModes->ToggleMaximized();
}

void TForm1::ToggleCompactMode() {
    m_windowModes->ToggleCompactMode();
}

void TForm1::SetAlwaysOnTop(bool on) {
    m_windowModes->SetAlwaysOnTop(on);
}

bool TForm1::SetDisplayResolution(std::uint16_t width, std::uint16_t height) {
    return m_displayPresets->SetDisplayResolution(width, height);
}

void TForm1::ShowBalloonNotice(const QString& title, const QString& text, BalloonIconKind kind,
                               int timeoutSeconds) {
    m_trayNotices->ShowBalloonNotice(title, text, kind, timeoutSeconds);
}

void TForm1::ClearBalloonNotice() {
    m_trayNotices->ClearBalloonNotice();
}

QRect TForm1::trayIconGeometry() const {
    return m_trayNotices->trayIconGeometry();
}

QPoint TForm1::IconCursorOffset(QPoint screenPoint) const {
    return m_trayNotices->IconCursorOffset(screenPoint);
}

bool TForm1::minimizeToTray() const {
    return m_trayNotices->minimizeToTray();
}

void TForm1::MenuSoundClick() {
    m_mute->MenuSoundClick();
}

bool TForm1::GetMute(MixerLine line) {
    bool muted = false;
    m_mute->GetMute(line, muted);
    return muted;
}

void TForm1::SetMute(MixerLine line, bool muted) {
    m_mute->SetMute(line, muted);
}

} // namespace koro
