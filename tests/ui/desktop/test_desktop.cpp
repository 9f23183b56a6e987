#include "config/AppSettings.h"
#include "config/CodePage.h"
#include "desktop/DisplayPresets.h"
#include "desktop/HotkeyDispatch.h"
#include "desktop/MuteToggle.h"
#include "desktop/NoticeWindow.h"
#include "desktop/TrayNotices.h"
#include "desktop/WindowModes.h"
#include "platform/fake/FakeGlobalHotkeys.h"
#include "platform/fake/FakeSimpleServices.h"
#include "platform/fake/FakeTrayIcon.h"

#include <QAction>
#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QScreen>
#include <QVBoxLayout>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

using namespace koro;

// A window with the three bars above a page, as the main window has them.
struct BarredWindow {
    QWidget window;
    QFrame* top = new QFrame(&window);
    QFrame* separator = new QFrame(&window);
    QFrame* navigation = new QFrame(&window);
    QFrame* page = new QFrame(&window);
    WindowModes modes{window, {top, separator, navigation}};

    BarredWindow() {
        auto* layout = new QVBoxLayout(&window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->setSpacing(0);
        top->setFixedHeight(21);
        separator->setFixedHeight(2);
        navigation->setFixedHeight(28);
        layout->addWidget(top);
        layout->addWidget(separator);
        layout->addWidget(navigation);
        layout->addWidget(page, 1);
        window.resize(400, 300);
        window.setWindowTitle(QStringLiteral("Koro网络电视 3.0"));
    }
};

TEST(WindowModes, CompactModeRoundTripRestoresTheCaptionAndTheBarsInOrder) {
    BarredWindow w;
    w.window.show();
    const QString caption = w.window.windowTitle();

    w.modes.ToggleCompactMode();
    EXPECT_TRUE(w.modes.isCompact());
    EXPECT_EQ(w.window.windowTitle(),
              caption + QString(17, ' ') + QStringLiteral("Home键返回全功能模式"));
    EXPECT_FALSE(w.top->isVisible());
    EXPECT_FALSE(w.navigation->isVisible());
    QApplication::processEvents();
    EXPECT_EQ(w.page->geometry().top(), 0) << "the page fills the window";

    w.modes.ToggleCompactMode();
    EXPECT_FALSE(w.modes.isCompact());
    EXPECT_EQ(w.window.windowTitle(), caption);
    QApplication::processEvents();
    EXPECT_LT(w.top->y(), w.separator->y());
    EXPECT_LT(w.separator->y(), w.navigation->y());
    EXPECT_LT(w.navigation->y(), w.page->y());
}

TEST(WindowModes, LeavingRemovesEverySuffixAndTheSeparatorAloneDecides) {
    const QString suffix = WindowModes::compactSuffix();
    EXPECT_EQ(codepage::fromUnicode(suffix).size(), 37);
    EXPECT_EQ(WindowModes::withoutCompactSuffix("A" + suffix + "B" + suffix), "AB");
    // A near miss (16 blanks) is not the suffix.
    EXPECT_EQ(WindowModes::withoutCompactSuffix("A" + suffix.mid(1)), "A" + suffix.mid(1));

    BarredWindow w;
    w.window.show();
    w.window.setWindowTitle("T" + suffix + suffix);
    w.separator->hide(); // something else hid the line: that is compact mode
    w.modes.ToggleCompactMode();
    EXPECT_EQ(w.window.windowTitle(), "T");
    EXPECT_TRUE(w.top->isVisible());
    EXPECT_TRUE(w.separator->isVisible());
    EXPECT_TRUE(w.navigation->isVisible());
}

TEST(WindowModes, HideShowAndMaximiseFollowTheWindowState) {
    BarredWindow w;
    w.window.show();
    w.modes.ToggleMainWindowHidden();
    EXPECT_FALSE(w.window.isVisible());
    w.modes.ToggleMaximized(); // acts on a hidden window too, and shows it
    EXPECT_TRUE(w.window.isVisible());
    EXPECT_TRUE(w.window.isMaximized());
    w.modes.ToggleMaximized();
    EXPECT_FALSE(w.window.isMaximized());

    w.window.showMinimized();
    w.modes.ToggleMainWindowHidden(); // minimised but visible: hides
    EXPECT_FALSE(w.window.isVisible());
    w.modes.ToggleMainWindowHidden();
    EXPECT_TRUE(w.window.isVisible());
    EXPECT_FALSE(w.window.isMinimized());
}

TEST(WindowModes, MaximisedFillsAnyScreenAndComesBackMaximisedFromTheTray) {
    QWidget window;
    window.setMaximumSize(2000, 2000);
    WindowModes modes(window, {new QFrame(&window), new QFrame(&window), new QFrame(&window)});
    window.show();
    modes.ToggleMaximized();
    EXPECT_EQ(window.maximumSize(), QSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX))
        << "the drag limit would stop a maximised window short of a large screen";
    window.showMinimized();
    window.hide(); // minimised to the tray
    modes.ShowMainWindow();
    EXPECT_TRUE(window.isMaximized());
    modes.ToggleMaximized();
    EXPECT_EQ(window.maximumSize(), QSize(2000, 2000)) << "the limit holds again for dragging";
}

TEST(WindowModes, AlwaysOnTopIsSetAndClearedWithoutANewWindow) {
    BarredWindow w;
    w.window.show();
    const WId before = w.window.winId();
    w.modes.SetAlwaysOnTop(true);
    EXPECT_TRUE(w.window.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(w.window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    w.modes.SetAlwaysOnTop(false);
    EXPECT_FALSE(w.window.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(w.window.winId(), before);
    EXPECT_TRUE(w.window.isVisible());
}

TEST(DisplayPresets, ItemsSwitchMarkTheSizeKeepTheWindowOnAndGiveTheSizeBack) {
    FakeDisplayModes display;
    display.supported = {QSize(1280, 800), QSize(1680, 1050)};
    display.current = QSize(1680, 1050);
    QMenu menu;
    for (const auto& preset : DisplayPresets::presets)
        menu.addAction(QString::fromLatin1(preset.item))->setObjectName(preset.item);
    const auto item = [&](const char* name) { return menu.findChild<QAction*>(name); };
    QWidget window;
    window.setGeometry(900, 600, 700, 400); // wholly on 1680x1050, partly off 1280x800
    {
        DisplayPresets presets(display, menu, window);
        presets.markCurrent();
        EXPECT_TRUE(item("N168010501")->isChecked());

        item("N12808001")->trigger();
        item("Pop2800600")->trigger();
        EXPECT_EQ(display.requests, (QList<QSize>{QSize(1280, 800), QSize(800, 600)}));
        EXPECT_EQ(display.current, QSize(1280, 800)) << "the refused size changed nothing";
        EXPECT_TRUE(item("N12808001")->isChecked());
        EXPECT_FALSE(item("Pop2800600")->isChecked()) << "a refused item is not marked";
        EXPECT_FALSE(item("N168010501")->isChecked());
        EXPECT_TRUE(QRect(0, 0, 1280, 800).contains(window.frameGeometry()))
            << "the window stays wholly on the smaller screen";
        EXPECT_FALSE(presets.SetDisplayResolution(1152, 864));
    }
    EXPECT_EQ(display.current, QSize(1680, 1050)) << "the screen's own size comes back at the end";
}

struct TrayFixture {
    BarredWindow w;
    FakeTrayIcon* tray = new FakeTrayIcon(&w.window);
    QMenu menu;
    TrayNotices notices{tray, w.window, w.modes, &menu};
};

TEST(TrayNotices, IconIsSetUpAndEachNoticeReplacesTheLastCutAtItsByteLimits) {
    TrayFixture f;
    EXPECT_TRUE(f.tray->visible);
    EXPECT_EQ(f.tray->toolTip, QStringLiteral("Koro高清"));
    EXPECT_EQ(f.tray->menu, &f.menu);

    // Two bytes per character: 63 bytes hold 31 of them, never half of the 32nd.
    const QString title(40, QChar(0x4E2D));
    const QString text = QString(200, 'a') + QString(100, QChar(0x6587));
    f.notices.ShowBalloonNotice(title, text, BalloonIconKind::Warning, 3);
    ASSERT_EQ(f.tray->notices.size(), 1);
    EXPECT_EQ(f.tray->notices[0].title, QString(31, QChar(0x4E2D)));
    EXPECT_EQ(f.tray->notices[0].text, QString(200, 'a') + QString(27, QChar(0x6587)));
    EXPECT_EQ(f.tray->notices[0].kind, BalloonIconKind::Warning);
    EXPECT_EQ(f.tray->notices[0].seconds, 3);

    // Each notice first removes the one before.
    const int clearsAfterFirst = f.tray->clears;
    EXPECT_GE(clearsAfterFirst, 1);
    f.notices.ShowBalloonNotice("t", QStringLiteral("第一行\r第二行\r\n第三行"),
                                BalloonIconKind::Info, 3);
    EXPECT_EQ(f.tray->clears, clearsAfterFirst + 1);
    ASSERT_EQ(f.tray->notices.size(), 2);
    EXPECT_EQ(f.tray->notices[1].text, QStringLiteral("第一行\n第二行\n第三行"))
        << "a line break shows as one";

    f.notices.setToolTip(QString(70, QChar(0x4E2D)));
    EXPECT_EQ(f.tray->toolTip, QString(63, QChar(0x4E2D)));
    // A four-byte character is kept whole or dropped whole.
    EXPECT_EQ(cutToCodePageBytes(QString::fromUtf8("ab\xF0\x9F\x98\x80"), 5), "ab");
    EXPECT_EQ(cutToCodePageBytes(QString::fromUtf8("ab\xF0\x9F\x98\x80"), 6),
              QString::fromUtf8("ab\xF0\x9F\x98\x80"));
}

TEST(TrayNotices, WithoutATrayHostNoticesGoToOurOwnWindowAtTheBottomRight) {
    TrayFixture f;
    f.tray->available = false;
    EXPECT_FALSE(f.notices.ShowBalloonNotice(QStringLiteral("提示"), QStringLiteral("启用快捷键!"),
                                             BalloonIconKind::Info, 3));
    EXPECT_TRUE(f.tray->notices.isEmpty());
    NoticeWindow& window = f.notices.fallbackWindow();
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.title(), QStringLiteral("提示"));
    EXPECT_EQ(window.text(), QStringLiteral("启用快捷键!"));
    const QRect area = QApplication::primaryScreen()->availableGeometry();
    EXPECT_TRUE(area.contains(window.frameGeometry()));
    EXPECT_GT(window.frameGeometry().center().x(), area.center().x());
    EXPECT_GT(window.frameGeometry().center().y(), area.center().y());

    f.notices.ClearBalloonNotice();
    EXPECT_FALSE(window.isVisible());

    // No tray object at all behaves the same.
    BarredWindow bare;
    TrayNotices none(nullptr, bare.window, bare.modes, nullptr);
    none.ShowBalloonNotice("t", "x", BalloonIconKind::Error, 0);
    EXPECT_TRUE(none.fallbackWindow().isVisible());
    EXPECT_FALSE(none.trayIconGeometry().isEmpty()) << "an unknown icon place is still a place";
}

TEST(TrayNotices, DoubleClickTogglesAndMinimisingGoesToTheTrayWhenAsked) {
    TrayFixture f;
    f.w.window.show();
    f.tray->fireDoubleClick();
    EXPECT_FALSE(f.w.window.isVisible());
    f.tray->fireDoubleClick();
    EXPECT_TRUE(f.w.window.isVisible());

    f.w.window.showMinimized();
    QApplication::processEvents();
    EXPECT_FALSE(f.w.window.isVisible()) << "minimised into the tray";
    EXPECT_TRUE(f.tray->visible);
    f.w.modes.ShowMainWindow();
    EXPECT_TRUE(f.w.window.isVisible());
    EXPECT_FALSE(f.w.window.isMinimized());

    f.notices.setMinimizeToTray(false);
    f.w.window.showMinimized();
    QApplication::processEvents();
    EXPECT_TRUE(f.w.window.isVisible()) << "minimised to the taskbar instead";

    // With no tray host there is no icon to come back from: the taskbar keeps the window.
    f.w.modes.ShowMainWindow();
    f.notices.setMinimizeToTray(true);
    f.tray->available = false;
    f.w.window.showMinimized();
    QApplication::processEvents();
    EXPECT_TRUE(f.w.window.isVisible());
}

TEST(TrayNotices, CursorOffsetRemaindersKeepTheSignOfTheClientPoint) {
    // caption 20: cells of 19 pixels
    EXPECT_EQ(iconCursorOffset({0, 0}, 20), QPoint(-1, -1));
    EXPECT_EQ(iconCursorOffset({40, 19}, 20), QPoint(1, -1));
    EXPECT_EQ(iconCursorOffset({-5, -40}, 20), QPoint(-6, -3));
}

// Answers from a fixed status for reading and another for writing.
class SplitMixer : public Mixer {
public:
    MixerStatus readStatus = MixerStatus::Ok;
    MixerStatus writeStatus = MixerStatus::Ok;
    bool muted = false;
    int writes = 0;
    MixerStatus getMute(MixerLine, bool& answer) override {
        if (readStatus == MixerStatus::Ok)
            answer = muted;
        return readStatus;
    }
    MixerStatus setMute(MixerLine, bool value) override {
        ++writes;
        if (writeStatus == MixerStatus::Ok)
            muted = value;
        return writeStatus;
    }
};

struct MuteFixture {
    TrayFixture tray;
    SplitMixer mixer;
    QStringList boxes;
    MuteToggle toggle{mixer, tray.notices, [this](const QString& text) { boxes << text; }};

    QStringList noticeTexts() const {
        QStringList texts;
        for (const auto& n : tray.tray->notices)
            texts << n.text;
        return texts;
    }
};

TEST(MuteToggle, TogglesFromTheMixersCurrentStateEachTime) {
    MuteFixture f;
    f.toggle.MenuSoundClick();
    EXPECT_TRUE(f.mixer.muted);
    f.mixer.muted = false; // un-muted elsewhere
    f.toggle.MenuSoundClick();
    EXPECT_TRUE(f.mixer.muted);
    f.toggle.MenuSoundClick();
    EXPECT_FALSE(f.mixer.muted);
    EXPECT_EQ(f.noticeTexts(), (QStringList{QStringLiteral("注意:系统已静音(按F7恢复)!"),
                                            QStringLiteral("注意:系统已静音(按F7恢复)!"),
                                            QStringLiteral("取消静音")}));
    EXPECT_EQ(f.tray.tray->notices.last().title, QStringLiteral("提示"));
    EXPECT_EQ(f.tray.tray->notices.last().seconds, 3);
    EXPECT_TRUE(f.boxes.isEmpty());
}

TEST(MuteToggle, EachFailureShowsItsFixedTextOrNothingAndNeverAFalseNotice) {
    struct Case {
        MixerStatus read;
        MixerStatus write;
        QStringList boxes;
        int writes;
    };
    const Case cases[] = {
        {MixerStatus::NoMixer, MixerStatus::NoMixer, {}, 0},
        {MixerStatus::NoLine, MixerStatus::NoLine, {}, 0},
        {MixerStatus::NoMuteControl, MixerStatus::NoMuteControl, {"GetLineInfo Error"}, 0},
        {MixerStatus::ControlFailed, MixerStatus::Ok, {"SetControlDetails Error"}, 0},
        {MixerStatus::Ok, MixerStatus::ControlFailed, {"SetControlDetails Error"}, 1},
    };
    for (const Case& c : cases) {
        MuteFixture f;
        f.mixer.readStatus = c.read;
        f.mixer.writeStatus = c.write;
        f.toggle.MenuSoundClick();
        EXPECT_EQ(f.boxes, c.boxes) << int(c.read) << "/" << int(c.write);
        EXPECT_EQ(f.mixer.writes, c.writes) << int(c.read) << "/" << int(c.write);
        EXPECT_FALSE(f.mixer.muted);
        EXPECT_TRUE(f.tray.tray->notices.isEmpty()) << int(c.read) << "/" << int(c.write);
    }
}

struct HotkeyFixture {
    TrayFixture tray;
    FakeGlobalHotkeys keys;
    AppSettings settings;
    QAction offSwitch;
    QStringList ran;
    HotkeyDispatch dispatch{keys,
                            settings,
                            offSwitch,
                            tray.notices,
                            {[this] { ran << "close"; }, [this] { ran << "hidden"; },
                             [this] { ran << "compact"; }, [this] { ran << "maximized"; },
                             [this] { ran << "mute"; }},
                            tray.w.window};

    // Started with the keys on ("1") or off.
    explicit HotkeyFixture(const QByteArray& useHotKey) {
        offSwitch.setCheckable(true);
        settings.UseHotKey = useHotKey;
        dispatch.start();
    }
    void fire(std::uint16_t modifiers, std::uint16_t key) {
        keys.fire(modifiers, key);
        QApplication::processEvents();
    }
};

TEST(HotkeyDispatch, EachKeyRunsItsActionAndOnlyCtrlQLooksAtModifiers) {
    HotkeyFixture f("1");
    EXPECT_EQ(f.keys.registered.size(), 5);
    EXPECT_FALSE(f.offSwitch.isChecked());
    f.fire(hotkey::ModControl, hotkey::KeyQ);
    f.fire(0, hotkey::KeyF9);
    f.fire(0, hotkey::KeyHome);
    f.fire(0, hotkey::KeyF8);
    f.fire(0, hotkey::KeyF7);
    EXPECT_EQ(f.ran, (QStringList{"close", "hidden", "compact", "maximized", "mute"}));
    f.ran.clear();
    f.dispatch.onHotKey(0, hotkey::KeyQ); // Q without Ctrl
    f.dispatch.onHotKey(hotkey::ModControl, hotkey::KeyF9);
    EXPECT_EQ(f.ran, QStringList{"hidden"});
    EXPECT_TRUE(f.tray.tray->notices.isEmpty()) << "no notice at start";
}

TEST(HotkeyDispatch, SwitchOffAndOnKeepsTheSettingAndTellsTheUser) {
    HotkeyFixture f("0");
    EXPECT_TRUE(f.offSwitch.isChecked());
    EXPECT_TRUE(f.keys.attempts.isEmpty());
    EXPECT_TRUE(f.tray.tray->notices.isEmpty());

    f.offSwitch.trigger(); // clears the check mark: on
    EXPECT_EQ(f.settings.UseHotKey, "1");
    EXPECT_EQ(f.keys.registered.size(), 5);
    const auto firstIds = f.dispatch.hotKeyIds();
    ASSERT_EQ(f.tray.tray->notices.size(), 1);
    EXPECT_EQ(f.tray.tray->notices[0].text, QStringLiteral("启用快捷键!"));
    EXPECT_EQ(f.tray.tray->notices[0].title, QStringLiteral("提示"));
    EXPECT_EQ(f.tray.tray->notices[0].kind, BalloonIconKind::Info);

    f.offSwitch.trigger(); // off
    EXPECT_EQ(f.settings.UseHotKey, "0");
    EXPECT_TRUE(f.keys.registered.isEmpty());
    EXPECT_FALSE(f.keys.fire(0, hotkey::KeyF9));
    EXPECT_EQ(f.tray.tray->notices.last().text, QStringLiteral("注意:快捷键已禁用!"));

    f.offSwitch.trigger();
    EXPECT_EQ(f.dispatch.hotKeyIds(), firstIds) << "the same ids again";
    EXPECT_EQ(f.keys.registered.size(), 5);
}

TEST(HotkeyDispatch, AKeyHeldElsewhereIsSkippedAndTheOthersWork) {
    HotkeyFixture f("0");
    f.keys.heldElsewhere.insert({0, hotkey::KeyF8});
    f.offSwitch.trigger();
    EXPECT_EQ(f.keys.attempts.size(), 5);
    EXPECT_EQ(f.keys.registered.size(), 4);
    EXPECT_EQ(f.tray.tray->notices.last().text, QStringLiteral("启用快捷键!"));
    f.fire(0, hotkey::KeyF8);
    f.fire(0, hotkey::KeyHome);
    EXPECT_EQ(f.ran, QStringList{"compact"});
}

TEST(HotkeyDispatch, HomeInTheWindowAlwaysSwitchesAndTextFieldsKeepTheirKeys) {
    HotkeyFixture f("0"); // nothing grabbed: the keys reach the window as typed
    auto* address = new QLineEdit(f.tray.w.navigation);
    address->setText("abc");
    f.tray.w.window.show();
    QApplication::setActiveWindow(&f.tray.w.window);
    const auto typeHome = [](QWidget* target) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_Home, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    };
    f.tray.w.page->setFocus();
    typeHome(f.tray.w.page);
    EXPECT_EQ(f.ran, QStringList{"compact"}) << "no way out of compact mode otherwise";

    // Typing in a field of the program: Home moves the caret, grabbed or not.
    address->setFocus();
    address->setCursorPosition(3);
    typeHome(address);
    EXPECT_EQ(address->cursorPosition(), 0);
    f.offSwitch.trigger(); // grabbed now
    address->setCursorPosition(3);
    f.fire(0, hotkey::KeyHome);
    f.fire(0, hotkey::KeyF8);
    EXPECT_EQ(address->cursorPosition(), 0);
    EXPECT_EQ(f.ran, QStringList{"compact"}) << "keys typed into a field do not act";
    f.tray.w.page->setFocus();
    f.fire(0, hotkey::KeyF8);
    EXPECT_EQ(f.ran, (QStringList{"compact", "maximized"}));
}

} // namespace
