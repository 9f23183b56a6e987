#include "browse/NavigationBar.h"
#include "config/ApplicationTitle.h"
#include "config/CodePage.h"
#include "config/Language.h"
#include "config/ProfileFile.h"
#include "desktop/TrayNotices.h"
#include "desktop/WindowModes.h"
#include "schedule/AdLine.h"
#include "support/Files.h"
#include "support/MainWindowFixture.h"
#include "support/ModalAnswers.h"
#include "support/PrintSettings.h"
#include "support/SampleSkins.h"
#include "ui_NavigationBar.h"
#include "ui_TForm1.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

using namespace koro;
using namespace koro::test;

class MainWindowTest : public MainWindowFixture {
protected:
    void TearDown() override { dropPendingAnswers(); }
};

TEST_F(MainWindowTest, StartsWithDefaultsWhenNoSettingsExist) {
    TForm1& f = start();
    AppSettings expected = AppSettings::fresh();
    expected.SP = endpoints.telecomHome.toUtf8();
    expected.LanguageId = 2052;
    EXPECT_EQ(f.settings(), expected);
    EXPECT_EQ(f.parts().navigation->searchEngine(), "Baidu");
    EXPECT_TRUE(f.ui().telcom->isChecked());
    EXPECT_FALSE(f.ui().cnc->isChecked());
    EXPECT_FALSE(f.ui().MenuCloseHotKey->isChecked());
    EXPECT_EQ(fake.hotkeys->registered.size(), 5);
    EXPECT_FALSE(f.timer("Timer_SeeTv")->isActive());
    EXPECT_FALSE(f.settings().minimizeToTaskbar());
    EXPECT_TRUE(f.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    ASSERT_FALSE(fake.screenSaver->calls.isEmpty());
    EXPECT_EQ(fake.screenSaver->calls.first(), false);

    // The language file written at start names the window and the exit item.
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Koro网络电视 3.0"));
    EXPECT_EQ(f.ui().menuexit->text(), QStringLiteral("退出"));
    EXPECT_TRUE(QFile::exists(path("html/loading.htm")));
    EXPECT_TRUE(QFile::exists(path("html/loading.gif")));
    EXPECT_TRUE(QFile::exists(path("Language/2052.ini")));
    EXPECT_EQ(f.size(), QSize(784, 564));
}

TEST_F(MainWindowTest, EveryComponentTheBuiltInLanguageFileNamesExists) {
    TForm1& f = start();
    const auto lines = ProfileFile(path("Language/2052.ini")).readSection("TForm1");
    ASSERT_EQ(lines.size(), 78);
    QStringList names;
    for (const QObject* child : f.findChildren<QObject*>())
        names << child->objectName().toLower();
    for (const auto& [key, value] : lines) {
        const QString component = QString::fromLatin1(key).section('.', 0, 0).toLower();
        if (!component.isEmpty())
            EXPECT_TRUE(names.contains(component)) << key.constData();
    }
    EXPECT_EQ(f.ui().sixroom->text(), QStringLiteral("6间房"));
    EXPECT_EQ(f.ui().xuanx->title(), QStringLiteral("选 项"));
}

TEST_F(MainWindowTest, WithoutALanguageFileTheLayoutCaptionsStay) {
    // A "Language" file blocks the folder: nothing is written and nothing can be read.
    writeFile(path("Language"), "x");
    TForm1& f = start();
    EXPECT_EQ(f.windowTitle(), "TV");
    EXPECT_EQ(f.ui().menuexit->text(), "Exit");
}

TEST_F(MainWindowTest, OddValuesAreKeptAndActedOnAsOff) {
    writeFile(path("user.ini"), "[UserPage]\r\nSP=\r\n[UserTV]\r\nSeeTime=\r\n");
    TForm1& f = start("[MainForm]\r\nFrontShow=yes\r\nUseHotKey=0\r\nFindWay=Google\r\n"
                      "MinTask=1\r\nCloseTips=1\r\n");
    EXPECT_EQ(f.settings().FrontShow, "yes");
    EXPECT_FALSE(f.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(f.ui().MenuCloseHotKey->isChecked());
    EXPECT_TRUE(fake.hotkeys->registered.isEmpty());
    EXPECT_EQ(f.parts().navigation->searchEngine(), "");
    EXPECT_TRUE(f.settings().minimizeToTaskbar());
    EXPECT_FALSE(f.parts().trayNotices->minimizeToTray());
    // An empty line selects the netcom line; an empty time still runs the viewing check.
    EXPECT_EQ(f.settings().SP, endpoints.netcomHome.toUtf8());
    EXPECT_TRUE(f.ui().cnc->isChecked());
    EXPECT_FALSE(f.ui().telcom->isChecked());
    EXPECT_EQ(f.settings().SeeTime, "");
    EXPECT_TRUE(f.timer("Timer_SeeTv")->isActive());

    ASSERT_TRUE(f.close()); // CloseTips "1": no question
    const QByteArray config = readFile(path("Config.ini"));
    EXPECT_TRUE(config.contains("FrontShow=yes\r\n"));
    EXPECT_TRUE(config.contains("FindWay=\r\n"));
    EXPECT_TRUE(readFile(path("user.ini")).contains("SP=" + endpoints.netcomHome.toUtf8()));
}

TEST_F(MainWindowTest, TheEngineAndTheChosenLineAreThoseOfTheNextStart) {
    TForm1& f = start("[MainForm]\r\nFindWay=TaoBao\r\nCloseTips=1\r\n");
    ASSERT_EQ(f.parts().navigation->searchEngine(), "TaoBao");
    f.ui().cnc->trigger();
    ASSERT_TRUE(f.close());
    EXPECT_TRUE(readFile(path("Config.ini")).contains("FindWay=TaoBao\r\n"));
    form.reset();

    fake = makeFakePlatform(path("Favorites"));
    TForm1& again = start();
    EXPECT_EQ(again.parts().navigation->searchEngine(), "TaoBao");
    EXPECT_TRUE(again.ui().cnc->isChecked());
    EXPECT_FALSE(again.ui().telcom->isChecked());
    EXPECT_EQ(again.settings().SP, codepage::fromUnicode(endpoints.netcomHome));
}

TEST_F(MainWindowTest, CompactStartAddsTheSuffixAfterTheLanguageCaption) {
    TForm1& f = start("[MainForm]\r\nMinstart=1\r\n");
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Koro网络电视 3.0") + WindowModes::compactSuffix());
    EXPECT_FALSE(f.ui().Panel2->isVisibleTo(&f));
    f.parts().windowModes->ToggleCompactMode();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Koro网络电视 3.0"));
    EXPECT_TRUE(f.ui().Panel7->isVisibleTo(&f));
}

TEST_F(MainWindowTest, MenusAndKeysReachTheDesktopOperations) {
    TForm1& f = start(); // FrontShow defaults to "1"
    f.show();
    EXPECT_TRUE(f.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(f.ui().Poptopshow->isChecked()) << "the item starts clear whatever FrontShow says";
    f.ui().Poptopshow->trigger();
    f.ui().Poptopshow->trigger();
    EXPECT_FALSE(f.windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));

    f.ui().MenuMini->trigger();
    EXPECT_FALSE(f.ui().Panel2->isVisibleTo(&f));
    fake.hotkeys->fire(0, hotkey::KeyHome);
    QApplication::processEvents();
    EXPECT_TRUE(f.ui().Panel2->isVisibleTo(&f));

    fake.display->supported = {QSize(1024, 768)};
    f.ui().Pop210247681->trigger();
    EXPECT_EQ(fake.display->current, QSize(1024, 768));

    f.ui().MenuSound->trigger();
    EXPECT_TRUE(fake.mixer->isMuted(MixerLine::Master));
    ASSERT_FALSE(fake.tray->notices.isEmpty());
    EXPECT_EQ(fake.tray->notices.last().text, QStringLiteral("注意:系统已静音(按F7恢复)!"));

    fake.hotkeys->fire(0, hotkey::KeyF9);
    QApplication::processEvents();
    EXPECT_FALSE(f.isVisible());
    f.ui().tuopanshow->trigger();
    EXPECT_TRUE(f.isVisible());
    fake.tray->fireDoubleClick();
    EXPECT_FALSE(f.isVisible());

    f.ui().MenuCloseHotKey->trigger();
    EXPECT_EQ(f.settings().UseHotKey, "0");
    EXPECT_TRUE(fake.hotkeys->registered.isEmpty());
}

TEST_F(MainWindowTest, CtrlQGoesThroughTheCloseQuestionEvenWhileHidden) {
    TForm1& f = start();
    auto answer = answerNextBox(QMessageBox::No);
    fake.hotkeys->fire(hotkey::ModControl, hotkey::KeyQ);
    QApplication::processEvents();
    EXPECT_TRUE(answer->seen);
    EXPECT_TRUE(f.isVisible()) << "No brings the hidden window back";
    EXPECT_TRUE(fake.tray);
}

TEST_F(MainWindowTest, WritesUnderTheCurrentFolderAndReadsBesideTheProgram) {
    QTemporaryDir current;
    TForm1& f = start("[MainForm]\r\nFrontShow=0\r\n", current.path());
    EXPECT_EQ(f.settings().FrontShow, "0");
    EXPECT_TRUE(QFile::exists(current.filePath("html/loading.htm")));
    EXPECT_TRUE(QFile::exists(current.filePath("Language/2052.ini")));
    EXPECT_FALSE(QFile::exists(path("html")));
    // The language file is read beside the program, where there is none: layout captions stay.
    EXPECT_EQ(f.windowTitle(), "TV");
    f.Timer_GoHomeTimer();
    EXPECT_EQ(loading()->navigations, QStringList{dir.path() + "/html/loading.htm"});
}

TEST_F(MainWindowTest, StartRemovesOnlyTheTemporaryFilesAKilledSaveLeft) {
    QTemporaryDir current;
    const QStringList strays{path("Config.ini.koro-new"), path("user.ini.koro-new"),
                             current.filePath("ad.txt.koro-new")};
    for (const QString& stray : strays)
        writeFile(stray, "half");
    writeFile(path("Config.ini.backup"), "the user's own");
    start({}, current.path());
    for (const QString& stray : strays)
        EXPECT_FALSE(QFile::exists(stray)) << stray.toStdString();
    EXPECT_EQ(readFile(path("Config.ini.backup")), "the user's own");
}

TEST_F(MainWindowTest, GoHomeShowsTheLoadingPageThenTheHomePageOnce) {
    TForm1& f = start();
    f.Timer_GoHomeTimer();
    ASSERT_EQ(loading()->navigations.size(), 1);
    EXPECT_EQ(loading()->navigations.first(), dir.path() + "/html/loading.htm");
    EXPECT_TRUE(page()->navigations.isEmpty());
    f.Timer_GoHomeTimer();
    EXPECT_EQ(page()->navigations, QStringList{endpoints.telecomHome});
    EXPECT_EQ(f.timer("Timer_GoHome"), nullptr);
}

TEST_F(MainWindowTest, ExitAskedAndAnsweredYesSavesAndEnds) {
    TForm1& f = start();
    f.show();
    bool closed = false;
    QObject::connect(&f, &TForm1::closed, [&] { closed = true; });
    auto answer = answerNextBox(QMessageBox::Yes);
    EXPECT_TRUE(f.close());
    EXPECT_TRUE(answer->seen);
    EXPECT_EQ(answer->title, QStringLiteral("提示"));
    EXPECT_EQ(answer->text, QStringLiteral("您确定要退出吗?"));
    EXPECT_TRUE(closed);
    EXPECT_FALSE(f.isVisible());
    EXPECT_EQ(fake.platform->tray, nullptr);
    EXPECT_EQ(page()->navigations.last(), "about:blank");
    EXPECT_TRUE(
        readFile(path("Config.ini")).startsWith("[MainForm]\r\npifu=\r\nFindWay=Baidu\r\n"));
    EXPECT_EQ(fake.screenSaver->calls.last(), true);
    EXPECT_EQ(fake.autostart->removals, 1);
}

TEST_F(MainWindowTest, ExitAnsweredNoBringsTheWindowBackAndKeepsEverything) {
    TForm1& f = start();
    f.show();
    f.settings().opennewfrm = "OldForm"; // unsaved change stays in memory
    auto answer = answerNextBox(QMessageBox::No);
    EXPECT_FALSE(f.close());
    EXPECT_TRUE(answer->seen);
    EXPECT_TRUE(f.isVisible());
    EXPECT_NE(fake.platform->tray, nullptr);
    EXPECT_FALSE(QFile::exists(path("Config.ini")));
    EXPECT_EQ(f.settings().opennewfrm, "OldForm");
}

TEST_F(MainWindowTest, LanguageMessageBoxAnswersWithThePlatformCodes) {
    TForm1& f = start();
    for (const auto& [kind, button, code] : {std::tuple{MbYesNo, QMessageBox::Yes, IdYes},
                                             {MbYesNo, QMessageBox::No, IdNo},
                                             {0, QMessageBox::Ok, IdOk}}) {
        auto answer = answerNextBox(button);
        EXPECT_EQ(f.LanguageMessageBox("Exittips", kind), code);
        EXPECT_TRUE(answer->seen);
    }
}

TEST_F(MainWindowTest, FailedSaveNamesTheFileAndNoKeepsTheProgramRunning) {
    TForm1& f = start("[MainForm]\r\nCloseTips=1\r\n");
    f.show();
    // A folder where the file should be: the write fails even for root.
    QFile::remove(path("Config.ini"));
    ASSERT_TRUE(QDir(dir.path()).mkdir("Config.ini"));
    auto answer = answerNextBox(QMessageBox::No);
    setApplicationTitle(QStringLiteral("Koro网络电视"));
    EXPECT_FALSE(f.close());
    setApplicationTitle({});
    EXPECT_TRUE(answer->seen);
    EXPECT_EQ(answer->title, QStringLiteral("Koro网络电视"));
    EXPECT_TRUE(answer->text.contains("Unable to write to " + path("Config.ini")));
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(fake.screenSaver->calls.last(), false) << "running on, the screen saver stays off";
    EXPECT_NE(fake.platform->tray, nullptr);

    auto again = answerNextBox(QMessageBox::Yes);
    EXPECT_TRUE(f.close());
    EXPECT_TRUE(again->seen);
    EXPECT_EQ(fake.platform->tray, nullptr);
}

TEST_F(MainWindowTest, HousekeepingTrimsOnlyOnTheNtFamily) {
    TForm1& f = start();
    f.TrimTimerProc();
    EXPECT_EQ(fake.memoryTrim->trims, 1);
    fake.platformInfo->value = PlatformFamily::Win9x;
    f.TrimTimerProc();
    EXPECT_EQ(fake.memoryTrim->trims, 1);
}

TEST_F(MainWindowTest, AFailingStartStepDoesNotSkipTheRest) {
    // "html" as a file: the start-up files cannot be written.
    writeFile(path("html"), "x");
    testing::internal::CaptureStderr();
    TForm1& f = start("[MainForm]\r\nFrontShow=0\r\n");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_NE(err.find("koro: start-up files"), std::string::npos) << err;
    EXPECT_EQ(f.settings().FrontShow, "0");
    EXPECT_EQ(f.parts().navigation->searchEngine(), "Baidu");
}

TEST(Application, TitleIsTheExecutableNameUntilTheProgramNamesItself) {
    EXPECT_EQ(defaultApplicationTitle("/opt/tv/KORO.Main.bin"), "Koro");
    EXPECT_EQ(defaultApplicationTitle("/opt/tv/koro"), "koro") << "the first character is kept";
    EXPECT_EQ(defaultApplicationTitle("/opt/TV.d/ShellX"), "Shellx") << "only the file name counts";
    EXPECT_EQ(defaultApplicationTitle("/opt/tv/.hidden"), "");

    const QString before = applicationTitle();
    EXPECT_EQ(before, defaultApplicationTitle(QCoreApplication::applicationFilePath()));
    setApplicationTitle(QStringLiteral("Koro网络电视"));
    EXPECT_EQ(applicationTitle(), QStringLiteral("Koro网络电视"));
    EXPECT_NE(QGuiApplication::applicationDisplayName(), QStringLiteral("Koro网络电视"))
        << "captions must not get the title appended";
    setApplicationTitle({});
    EXPECT_EQ(applicationTitle(), before);
}

TEST(Application, AnExceptionInAHandlerEndsOnlyThatHandler) {
    int after = 0;
    testing::internal::CaptureStderr();
    QTimer::singleShot(0, [] { throw std::runtime_error("boom in a handler"); });
    QTimer::singleShot(5, [&] { ++after; });
    QTimer::singleShot(20, qApp, &QCoreApplication::quit);
    qApp->exec();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(after, 1);
    EXPECT_NE(err.find("boom in a handler"), std::string::npos);
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1);
}

// A long ad once lay over the address box and the go button and took go's clicks.
TEST_F(MainWindowTest, ALongAdStaysRightOfGoAndLeavesGoItsClicks) {
    const QString text = QStringLiteral(
        "这是一条很长很长的广告文字，一共有四十个字符，会不会盖住地址栏和转到按钮呢？看看");
    ASSERT_EQ(text.size(), 40);
    writeFile(path("ad.txt"), codepage::fromUnicode(text + "\r\nhttp://ad.example/\r\n"));
    for (const QString& look : everyLook()) {
        SCOPED_TRACE(look.toStdString());
        const SkinWorn worn(look);
        TForm1& window = start();
        window.show();
        AdLine* ad = window.parts().adLine;
        ad->Timer_ReadadTimer();
        ad->gogg();
        QCoreApplication::processEvents();

        const QWidget* go = window.parts().navigation->ui().gohttp;
        const QRect goPlace(go->mapTo(&window, QPoint(0, 0)), go->size());
        const QRect adPlace(ad->mapTo(&window, QPoint(0, 0)), ad->size());
        EXPECT_GT(adPlace.left(), goPlace.right());
        EXPECT_EQ(adPlace.right(), window.rect().right());
        EXPECT_EQ(window.childAt(goPlace.center()), go);
        EXPECT_EQ(ad->text(), text);
        EXPECT_EQ(ad->toolTip(), text + "\nhttp://ad.example/") << "cut short, the whole text";
    }
}

// The built-in look is kept as an empty pifu, which the next start leaves alone.
TEST_F(MainWindowTest, TheBuiltInSkinLookSurvivesARestart) {
    const SkinWorn builtIn{QString()};
    ASSERT_TRUE(QDir(dir.path()).mkdir("skin"));
    ASSERT_TRUE(QFile::copy(sampleSkinDir() + "/Jade.skn", path("skin/Jade.skn")));
    TForm1& window = start("[MainForm]\r\npifu=Jade.skn\r\n");
    EXPECT_FALSE(qApp->styleSheet().isEmpty());
    QAction* item = window.ui().huanfu->actions().value(0);
    ASSERT_NE(item, nullptr);
    item->trigger();
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    window.Saveini();
    EXPECT_TRUE(readFile(path("Config.ini")).contains("pifu=\r\n"));

    start();
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_TRUE(form->settings().pifu.isEmpty());
}

} // namespace
