#include "config/AppSettings.h"
#include "config/Endpoints.h"
#include "config/Error.h"
#include "config/ProfileFile.h"
#include "platform/AutostartEntry.h"
#include "platform/ScreenSaver.h"
#include "support/Child.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <optional>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace koro;
using test::readFile;
using test::writeFile;

// Stands in for both services and records each call with what the two files held at that moment.
class Recorder : public ScreenSaver, public AutostartEntry {
public:
    QStringList events;
    QString configPath;
    QString userPath;

    void setActive(bool active) override {
        events << QStringLiteral("screensaver %1 %2").arg(active ? "on" : "off", snapshot());
    }
    void removeEntry() override { events << "autostart removed " + snapshot(); }

private:
    QString snapshot() const {
        return QStringLiteral("config:%1 user:%2")
            .arg(QFile::exists(configPath) ? "yes" : "no", QFile::exists(userPath) ? "yes" : "no");
    }
};

class SaveIniTest : public ::testing::Test {
protected:
    SaveIniTest() {
        journal.configPath = dir.filePath("Config.ini");
        journal.userPath = dir.filePath("user.ini");
        settings.SP = "http://cnc.example/v1000";
    }

    void save(const QByteArray& engine = "Baidu") {
        ProfileFile configIni(journal.configPath);
        ProfileFile userIni(journal.userPath);
        saveIni(settings, engine, configIni, userIni, journal, journal);
    }

    QTemporaryDir dir;
    Recorder journal;
    AppSettings settings = AppSettings::fresh();
};

const QByteArray FreshConfig = "[MainForm]\r\n"
                               "pifu=\r\n"
                               "FindWay=Baidu\r\n"
                               "CloseTips=0\r\n"
                               "opennewfrm=NewForm\r\n"
                               "frontshow=1\r\n"
                               "MinTask=0\r\n"
                               "UseHotKey=1\r\n"
                               "Minstart=0\r\n";

TEST_F(SaveIniTest, FreshSaveWritesEveryKeyInOrderAfterTheScreenSaverAndBeforeAutostart) {
    save();
    EXPECT_EQ(readFile(journal.configPath), FreshConfig);
    EXPECT_EQ(readFile(journal.userPath), "[UserPage]\r\nSP=http://cnc.example/v1000\r\n");
    EXPECT_EQ(journal.events, (QStringList{"screensaver on config:no user:no",
                                           "autostart removed config:yes user:yes"}));
}

TEST_F(SaveIniTest, ExistingValuesAreReplacedWhereTheyStand) {
    writeFile(journal.configPath, ";mine\r\n\r\n"
                                  "[MainForm]\r\n"
                                  "FrontShow=yes\r\n"
                                  "Width=800\r\n"
                                  "FindWay=Google\r\n"
                                  "UseHotKey=1\r\n");
    writeFile(journal.userPath, "[UserPage]\r\nSP=\r\n[UserTV]\r\nSeeTime=8:30\r\n");
    settings.FrontShow = "yes"; // as read: not "1" and not "0", and written back as it is
    settings.UseHotKey = "0";
    settings.pifu = "\xC0\xB6\xC9\xAB.ini";
    save("");

    EXPECT_EQ(readFile(journal.configPath), ";mine\r\n\r\n"
                                            "[MainForm]\r\n"
                                            "FrontShow=yes\r\n"
                                            "Width=800\r\n"
                                            "FindWay=\r\n"
                                            "UseHotKey=0\r\n"
                                            "pifu=\xC0\xB6\xC9\xAB.ini\r\n"
                                            "CloseTips=0\r\n"
                                            "opennewfrm=NewForm\r\n"
                                            "MinTask=0\r\n"
                                            "Minstart=0\r\n");
    EXPECT_EQ(readFile(journal.userPath), "[UserPage]\r\nSP=http://cnc.example/v1000\r\n"
                                          "[UserTV]\r\nSeeTime=8:30\r\n");
}

// Profile names are one whatever their spelling (see the profile file tests), also for the
// settings saved at exit, all at once.
TEST_F(SaveIniTest, DifferentlySpelledNamesMeanOneSectionAndKey) {
    writeFile(journal.configPath, "[MAINFORM]\r\nFRONTSHOW=1\r\n");
    settings.FrontShow = "0";
    save();
    ProfileFile configIni(journal.configPath);
    EXPECT_EQ(configIni.readSection(settings::MainForm).size(), 8);
    EXPECT_EQ(configIni.readString(settings::MainForm, "FrontShow", "1"), "0");
    EXPECT_TRUE(readFile(journal.configPath).startsWith("[MAINFORM]\r\nFRONTSHOW=0\r\n"));
}

TEST_F(SaveIniTest, FailedUserIniWriteSkipsAutostartAndPropagates) {
    ASSERT_TRUE(QDir().mkdir(journal.userPath)); // not writable as a file, also for root
    try {
        save();
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "Unable to write to " + journal.userPath.toStdString());
    }
    EXPECT_EQ(readFile(journal.configPath), FreshConfig);
    EXPECT_EQ(journal.events, QStringList{"screensaver on config:no user:yes"});
}

TEST_F(SaveIniTest, AFailedConfigWriteKeepsTheWholeFileAsItWas) {
    const QByteArray before = "[MainForm]\r\npifu=old.skn\r\n";
    writeFile(journal.configPath, before);
    const int code = test::inChild([&] {
        // A disk that fills up after a few keys.
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{rlim_t(before.size() + 20), rlim_t(before.size() + 20)};
        setrlimit(RLIMIT_FSIZE, &limit);
        try {
            save();
        } catch (const Error& e) {
            const bool rightText =
                std::string(e.what()) == "Unable to write to " + journal.configPath.toStdString();
            const bool noAutostart =
                journal.events == QStringList{"screensaver on config:yes user:no"};
            return rightText && noAutostart ? 0 : 2;
        }
        return 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(journal.configPath), before);
    EXPECT_FALSE(QFile::exists(journal.userPath));
}

TEST_F(SaveIniTest, AKilledSaveNeverMixesKeysOfTwoSaves) {
    for (int round = 0; round < 40; ++round) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int i = 0;; ++i) {
                const QByteArray flag = i % 2 ? "1" : "0";
                settings.CloseTips = settings.MinTask = settings.Minstart = flag;
                try {
                    save();
                } catch (...) {
                    _exit(1);
                }
            }
        }
        usleep(300 + (round * 7919) % 8000);
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);
        ProfileFile config(journal.configPath);
        const QByteArray first = config.readString("MainForm", "CloseTips", "?");
        ASSERT_EQ(config.readString("MainForm", "MinTask", "?"), first) << "round " << round;
        ASSERT_EQ(config.readString("MainForm", "Minstart", "?"), first) << "round " << round;
    }
}

} // namespace

namespace {

class ReadSettingsTest : public SaveIniTest {
protected:
    void load() {
        settings = AppSettings{};
        settings.readConfigIni(ProfileFile(journal.configPath));
        settings.readUserIni(ProfileFile(journal.userPath), endpoints);
    }

    const Endpoints endpoints = Endpoints::local("http://127.0.0.1:9");
};

TEST_F(ReadSettingsTest, OnlyExactValuesTurnOptionsOnAndEveryValueGoesBackByteForByte) {
    // Every key present, each spelled and valued as no code writes it.
    const QByteArray odd = "[mainform]\r\nPIFU=\xC0\xB6.ini\r\nfindway=Google\r\nclosetips=no\r\n"
                           "OpenNewFrm=oldform\r\nfrontshow=yes\r\nMinTask=01\r\n"
                           "UseHotKey=true\r\nMinstart=\r\n";
    struct Options {
        bool hotKey, skin, mainWindow, onTop, noQuestion, taskbar, compact, viewing, telecom;
    };
    const struct {
        const char* what;
        std::optional<QByteArray> config, user;
        Options on;
        std::optional<QByteArray> saved; // what saving the read settings writes
    } cases[] = {
        {"missing files: the defaults", {}, {}, {1, 0, 0, 1, 0, 0, 0, 0, 1}, FreshConfig},
        // Only OldForm and only FrontShow=1 count, only 0 asks, an empty time is not the
        // no-viewing mark, and any home page but the telecom one is the netcom line's.
        {"odd values",
         odd,
         "[UserPage]\r\nSP=http://elsewhere/\r\n[UserTV]\r\nSeeTime=\r\n",
         {0, 1, 0, 0, 1, 0, 0, 1, 0},
         odd},
        {"exact values",
         "[MainForm]\r\nopennewfrm=OldForm\r\nCloseTips=0\r\nMinTask=1\r\nMinstart=1\r\n"
         "UseHotKey=0\r\nFrontShow=0\r\n",
         "[UserTV]\r\nSeeTime=24:0\r\n",
         {0, 0, 1, 0, 0, 1, 1, 0, 1},
         {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(journal.configPath);
        QFile::remove(journal.userPath);
        if (c.config)
            writeFile(journal.configPath, *c.config);
        if (c.user)
            writeFile(journal.userPath, *c.user);
        load();
        EXPECT_EQ(settings.useHotKey(), c.on.hotKey);
        EXPECT_EQ(settings.hasSkin(), c.on.skin);
        EXPECT_EQ(settings.opensInMainWindow(), c.on.mainWindow);
        EXPECT_EQ(settings.alwaysOnTop(), c.on.onTop);
        EXPECT_EQ(settings.closeWithoutAsking(), c.on.noQuestion);
        EXPECT_EQ(settings.minimizeToTaskbar(), c.on.taskbar);
        EXPECT_EQ(settings.compactAtStart(), c.on.compact);
        EXPECT_EQ(settings.viewingScheduled(), c.on.viewing);
        EXPECT_EQ(settings.onTelecomLine(endpoints), c.on.telecom);
        EXPECT_EQ(settings.SP,
                  (c.on.telecom ? endpoints.telecomHome : endpoints.netcomHome).toUtf8());
        if (c.saved) {
            save(readSearchEngine(ProfileFile(journal.configPath)));
            EXPECT_EQ(readFile(journal.configPath), *c.saved);
        }
    }
}

} // namespace
