#include "app/TForm1.h"

#include "app/CaptionRow.h"
#include "app/StartupFiles.h"
#include "app/TvWiring.h"
#include "browse/FavoritesMenu.h"
#include "browse/LineSelection.h"
#include "browse/NavigationBar.h"
#include "browse/NewWindowPolicy.h"
#include "browse/SiteMenus.h"
#include "config/ApplicationTitle.h"
#include "config/CodePage.h"
#include "config/ContainStep.h"
#include "config/Error.h"
#include "config/FormTimer.h"
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
#include "webengine/BrowserControl.h"

#include <QCloseEvent>
#include <QCursor>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>

namespace koro {

namespace {
using namespace std::chrono_literals;
constexpr auto GoHome = 100ms;
constexpr int TrimInterval = 10000;
constexpr int NoticeSeconds = 10;

bool askExitWithoutSaving(const QString& reason) {
    QMessageBox box(QMessageBox::Warning, applicationTitle(),
                    reason + QStringLiteral("\n\n设置无法保存。不保存设置直接退出吗?"),
                    QMessageBox::Yes | QMessageBox::No);
    box.setObjectName("SaveFailedBox");
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
} // namespace

TForm1::TForm1(Platform& platform, BrowserFactory& browsers, Endpoints endpoints, FormPaths paths,
               QWidget* parent)
    : QWidget(parent)
    , m_ui(std::make_unique<Ui::TForm1>())
    , m_platform(platform)
    , m_endpoints(std::move(endpoints))
    , m_paths(std::move(paths)) {
    initImageResources();
    m_ui->setupUi(this);
    addTvMenu(*m_ui->MainMenu1); // before the caption row is made from the menus
    new CaptionRow(m_ui->MainMenu1, m_ui->ToolBar2);
    buildPageArea(browsers);
    buildBrowsing(browsers);
    buildDesktop();
    buildTimers();
    buildSchedule();
    m_parts.tv = wireTv(*this, m_paths.exeDir);
}

TForm1::~TForm1() = default;

void TForm1::buildPageArea(BrowserFactory& browsers) {
    m_parts.page = browsers.create(BrowserRole::PageArea, m_ui->PageArea);
    m_parts.page->setObjectName("webbrowser1");
    m_ui->PageAreaLayout->addWidget(m_parts.page);

    // The catcher never shows a page: it sits outside the visible area.
    m_parts.catcher = browsers.create(BrowserRole::Catcher, this);
    m_parts.catcher->setObjectName("Webbrowser2");
    m_parts.catcher->setGeometry(-200, -200, 100, 100);
    m_parts.catcher->hide();

    m_parts.loading = browsers.create(BrowserRole::LoadingIcon, this);
    m_parts.loading->setObjectName("WebLoading");

    connect(m_parts.page, &BrowserControl::documentComplete, this, [this] {
        // The tray icon is destroyed only by an agreed close, which then loads the blank page.
        if (!m_platform.tray)
            QCoreApplication::exit(0);
    });
}

void TForm1::buildBrowsing(BrowserFactory& browsers) {
    BrowserControl& page = *m_parts.page;
    m_parts.navigation = new NavigationBar(
        page, *m_parts.loading, *m_platform.shell, m_endpoints, m_imageList,
        [this] { return codepage::toUnicode(m_settings.SP); }, m_ui->Panel3);
    m_ui->Panel3Layout->addWidget(m_parts.navigation);
    m_parts.newWindows = new NewWindowPolicy(*this, page, *m_parts.catcher, browsers, m_settings);
    new SiteMenus(*this, m_ui->gywm, page, m_endpoints);
    new LineSelection(m_ui->telcom, m_ui->cnc, page, m_endpoints, m_settings, this);
    m_parts.favorites = new FavoritesMenu(m_ui->IE1, m_ui->AddFav, m_ui->FinishFav, &page,
                                          *m_platform.favorites, m_imageList, this);
}

void TForm1::buildDesktop() {
    m_windowModes =
        std::make_unique<WindowModes>(*this, WindowBars{m_ui->Panel7, m_ui->Panel2, m_ui->Panel3});
    m_trayNotices = std::make_unique<TrayNotices>(m_platform.tray.get(), *this, *m_windowModes,
                                                  m_ui->PoptrayRight);
    m_parts.windowModes = m_windowModes.get();
    m_parts.trayNotices = m_trayNotices.get();
    WindowModes& modes = *m_windowModes;
    m_parts.displayPresets =
        new DisplayPresets(*m_platform.display, *m_ui->PopupMenu2, *this, this);
    m_parts.mute = new MuteToggle(*m_platform.mixer, *m_trayNotices, {}, this);
    MuteToggle& mute = *m_parts.mute;
    m_parts.hotkeys = new HotkeyDispatch(
        *m_platform.hotkeys, m_settings, *m_ui->MenuCloseHotKey, *m_trayNotices,
        {[this] { close(); }, [&modes] { modes.ToggleMainWindowHidden(); },
         [&modes] { modes.ToggleCompactMode(); }, [&modes] { modes.ToggleMaximized(); },
         [&mute] { mute.MenuSoundClick(); }},
        *this, this);

    connect(m_ui->MenuSound, &QAction::triggered, &mute, &MuteToggle::MenuSoundClick);
    connect(m_ui->menumax, &QAction::triggered, &modes, &WindowModes::ToggleMaximized);
    for (QAction* item : {m_ui->menuhide, m_ui->tuopanshow})
        connect(item, &QAction::triggered, &modes, &WindowModes::ToggleMainWindowHidden);
    for (QAction* item : {m_ui->MenuMini, m_ui->tuopanmini})
        connect(item, &QAction::triggered, &modes, &WindowModes::ToggleCompactMode);
    // The check mark is the item's own: it starts clear whatever FrontShow did at start.
    connect(m_ui->Poptopshow, &QAction::triggered, &modes, &WindowModes::SetAlwaysOnTop);
    for (QAction* item : {m_ui->menuexit, m_ui->tuopanexit})
        connect(item, &QAction::triggered, this, &QWidget::close);
    connect(m_ui->Panel9, &QWidget::customContextMenuRequested, this,
            [this] { m_ui->PopupMenu2->popup(QCursor::pos()); });
}

void TForm1::buildTimers() {
    auto* goHome = new QTimer(this);
    setUpFormTimer(*goHome, this, "Timer_GoHome", GoHome, &TForm1::Timer_GoHomeTimer);
    goHome->start();

    // Housekeeping is not a component of the form: it has no object name.
    m_trimTimer = new QTimer(this);
    m_trimTimer->setInterval(TrimInterval);
    connect(m_trimTimer, &QTimer::timeout, this, &TForm1::TrimTimerProc);
}

void TForm1::buildSchedule() {
    m_parts.adLine = new AdLine(
        m_paths.currentDir.filePath("ad.txt"),
        [this](const QString& url) {
            containStep("ad popup", [&] { m_parts.newWindows->openPopup(url); });
        },
        *m_platform.shell, m_ui->Panel3);
    m_ui->Panel3Layout->addWidget(m_parts.adLine);

    ScheduleHooks hooks;
    TrayNotices& notices = *m_trayNotices;
    hooks.notice = [&notices](const QString& title, const QString& text) {
        notices.ShowBalloonNotice(title, text, BalloonIconKind::Info, NoticeSeconds);
    };
    hooks.clearNotice = [&notices] { notices.ClearBalloonNotice(); };
    hooks.trayIconGeometry = [&notices] { return notices.trayIconGeometry(); };
    hooks.mainWindowVisible = [this] { return isVisible(); };
    hooks.showMainWindow = [this] { m_windowModes->ShowMainWindow(); };
    hooks.navigate = [this](const QString& url) { m_parts.page->navigate(url); };
    hooks.applyLanguage = [this](QWidget* form) {
        containStep("language", [&] { ApplyLanguage(m_settings.LanguageId, form); });
    };
    hooks.mainWindow = this;

    m_parts.viewing = new ScheduledViewing(
        m_settings, [this] { return m_userIni.get(); }, *m_platform.alarm,
        m_paths.currentDir.filePath("Tvlist/COCK.wav"), hooks, systemClock(), this);
    m_parts.shutdown = new ShutdownTimer(m_settings, *m_platform.power, *m_platform.platformInfo,
                                         hooks, systemClock(), this);

    NavigationBar& navigation = *m_parts.navigation;
    SoftSetHooks softSet;
    softSet.searchEngine = [&navigation] { return navigation.searchEngine(); };
    softSet.applySkin = [this](const QByteArray& name) { ApplySkin(name); };
    softSet.applyBuiltInSkin = [this] { applyBuiltInSkin(m_settings.pifu); };
    softSet.setSearchEngine = [&navigation](bool baidu) {
        navigation.setSearchEngineByName(baidu ? "Baidu" : "TaoBao");
    };
    softSet.setAlwaysOnTop = [this](bool on) { m_windowModes->SetAlwaysOnTop(on); };
    softSet.setMinimizeToTray = [this](bool on) { m_trayNotices->setMinimizeToTray(on); };
    softSet.applyLanguage = hooks.applyLanguage;
    softSet.openShutdownDialog = [this] { m_parts.shutdown->openTimerDialog(); };
    m_parts.softSet = new SoftSetLauncher(m_settings, skinDir(), softSet, this);

    connect(m_ui->Menu_SoftSet, &QAction::triggered, m_parts.softSet, &SoftSetLauncher::open);
    connect(m_ui->tuopanpower, &QAction::triggered, m_parts.shutdown, &ShutdownTimer::disarm);
    connect(m_parts.shutdown, &ShutdownTimer::armedChanged, m_ui->tuopanpower,
            &QAction::setVisible);
    connect(m_ui->MenuPower, &QAction::triggered, this, [this] {
        m_parts.shutdown->openTimerDialog();
        m_parts.softSet->closeLatest();
    });
    connect(m_parts.page, &BrowserControl::contextMenuAboutToShow, this, [this](QMenu* menu) {
        menu->addSeparator();
        QAction* action = menu->addAction(QStringLiteral("定时观看..."));
        action->setObjectName("ScheduleViewing");
        connect(action, &QAction::triggered, this, [this] {
            m_parts.viewing->openTimerDialog(m_parts.page->locationName(),
                                             m_parts.page->locationURL());
        });
    });
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
    m_parts.page->setFocus();
    resize(784, 564);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
}

void TForm1::readSettings() {
    containStep("Config.ini", [&] {
        m_configIni = std::make_unique<ProfileFile>(m_paths.exeDir + "/Config.ini");
        m_settings.readConfigIni(*m_configIni);
    });
    containStep("hotkeys", [&] { m_parts.hotkeys->start(); });
    containStep("skin", [&] {
        if (m_settings.hasSkin())
            ApplySkin(m_settings.pifu);
    });
    containStep("search engine",
                [&] { m_parts.navigation->setSearchEngineByName(readSearchEngine(*m_configIni)); });
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
            m_parts.viewing->Timer_SeeTv().start();
    });
    containStep("always on top", [&] { m_windowModes->SetAlwaysOnTop(m_settings.alwaysOnTop()); });
    containStep("favorites", [&] { m_parts.favorites->AddFavToMenu(m_ui->IE1); });
    containStep("skin menu", [&] { fillSkinMenu(); });
    containStep("compact start", [&] {
        if (m_settings.compactAtStart())
            m_windowModes->ToggleCompactMode();
    });
}

void TForm1::Timer_GoHomeTimer() {
    ++m_goHomeTicks;
    if (m_goHomeTicks == 2) {
        QTimer* goHome = timer("Timer_GoHome");
        goHome->stop();
        goHome->deleteLater();
        goHome->setObjectName(QString());
        m_parts.page->navigate(QString::fromUtf8(m_settings.SP));
        return;
    }
    m_parts.loading->navigate(m_paths.exeDir + "/html/loading.htm");
    m_parts.adLine->StartDownload(m_endpoints.adFeed, "ad.txt");
}

void TForm1::TrimTimerProc() {
    if (m_platform.platformInfo->family() == PlatformFamily::NT)
        m_platform.memoryTrim->trimWorkingSet();
}

void TForm1::closeEvent(QCloseEvent* event) {
    event->setAccepted(FormCloseQuery());
    if (event->isAccepted())
        emit closed();
}

bool TForm1::FormCloseQuery() {
    m_windowModes->HideMainWindow();
    if (!m_settings.closeWithoutAsking()) {
        if (LanguageMessageBox("Exittips", MbYesNo) != IdYes) {
            if (!isVisible())
                m_windowModes->ShowMainWindow();
            return false;
        }
    }
    try {
        Saveini();
    } catch (const std::exception& e) {
        if (!askExitWithoutSaving(QString::fromLocal8Bit(e.what()))) {
            m_platform.screenSaver->setActive(false); // the save had switched it back on
            m_windowModes->ShowMainWindow();
            return false;
        }
    }
    m_platform.tray.reset();
    containStep("blank page", [&] { m_parts.page->navigate("about:blank"); });
    return true;
}

void TForm1::Saveini() {
    if (!m_configIni || !m_userIni) // start-up ended before the files were opened
        throw Error("Unable to write to " + (m_paths.exeDir + "/Config.ini").toStdString());
    saveIni(m_settings, m_parts.navigation->searchEngine(), *m_configIni, *m_userIni,
            *m_platform.screenSaver, *m_platform.autostart);
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

void TForm1::ApplySkin(const QByteArray& name) {
    applySkin(name, m_settings.pifu, skinDir());
}

void TForm1::fillSkinMenu() {
    auto* skins = new SkinMenu(m_ui->huanfu, this);
    connect(skins, &SkinMenu::skinChosen, this,
            [this](const QString& fileName) { ApplySkin(codepage::fromUnicode(fileName)); });
    connect(skins, &SkinMenu::builtInChosen, this, [this] { applyBuiltInSkin(m_settings.pifu); });
    skins->fill(skinDir());
}

} // namespace koro
