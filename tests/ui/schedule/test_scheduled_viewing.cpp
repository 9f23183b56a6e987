#include "config/AppSettings.h"
#include "config/CodePage.h"
#include "config/ProfileFile.h"
#include "platform/fake/FakeSimpleServices.h"
#include "schedule/ScheduledViewing.h"
#include "schedule/ShutdownCountdown.h"
#include "schedule/ShutdownTimer.h"
#include "schedule/TSetTimeForm.h"
#include "schedule/TfrmPS.h"
#include "support/Files.h"
#include "support/Wait.h"
#include "ui_TSetTimeForm.h"
#include "ui_TfrmPS.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <tuple>

namespace koro {
namespace {

using test::flushDeletes;

void typeInto(QWidget* edit, const QString& text) {
    for (const QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(edit, &press);
    }
}

TEST(TimerDialog, KeyFilterLetsDigitsAndEditingKeysThrough) {
    for (const char* key : {"0", "9", "\b", "\r", "\x1b", ""})
        EXPECT_TRUE(TSetTimeForm::acceptsKey(QString::fromLatin1(key))) << key;
    for (const char* key : {"a", "-", "+", " ", ":", "\x16", "\x7f"})
        EXPECT_FALSE(TSetTimeForm::acceptsKey(QString::fromLatin1(key))) << key;
    auto* form = new TSetTimeForm({});
    form->ui().Edit1->clear();
    typeInto(form->ui().Edit1, "1a-2");
    EXPECT_EQ(form->ui().Edit1->text(), "12");
    typeInto(form->ui().Edit1, "3"); // at most two characters
    EXPECT_EQ(form->ui().Edit1->text(), "12");
    // Delete is a key, not a typed character (Tab is checked on the real program).
    form->ui().Edit1->setCursorPosition(0);
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, "\x7f");
    QApplication::sendEvent(form->ui().Edit1, &del);
    EXPECT_EQ(form->ui().Edit1->text(), "2");
    form->close();
    flushDeletes();
}

TEST(TimerDialog, CheckTimeBounds) {
    auto* form = new TSetTimeForm({});
    form->setViewingMode("CCTV", "http://tv.example/");
    for (const auto& [hour, minute, ok] :
         {std::tuple{23, 59, true}, {0, 0, true}, {24, 0, false}, {7, 60, false}}) {
        form->ui().LabelTvName->setText("CCTV");
        EXPECT_EQ(form->CheckTime(hour, minute), ok) << hour << ":" << minute;
        EXPECT_EQ(form->ui().LabelTvName->text(),
                  ok ? QStringLiteral("CCTV") : QStringLiteral("输入有误"));
    }
    form->close();
    flushDeletes();
}

TEST(TimerDialog, ShutdownModeShowsTheLastTimeSet) {
    auto* first = new TSetTimeForm({});
    first->setShutdownMode("");
    EXPECT_EQ(first->ui().Edit1->text(), "12");
    EXPECT_EQ(first->ui().Edit2->text(), "12");
    EXPECT_EQ(first->ui().Label1->text(), QStringLiteral("关机时间:"));
    EXPECT_EQ(first->ui().LabelTvName->text(), QStringLiteral("定时关机设置"));
    auto* second = new TSetTimeForm({});
    second->setShutdownMode("07:05");
    EXPECT_EQ(second->ui().Edit1->text(), "7");
    EXPECT_EQ(second->ui().Edit2->text(), "5");
    first->close();
    flushDeletes();

    // Esc leaves it, typed in either field.
    QPointer<TSetTimeForm> escaped(second);
    second->show();
    QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier, QString(QChar(27)));
    QApplication::sendEvent(second->ui().Edit2, &esc);
    flushDeletes();
    EXPECT_TRUE(escaped.isNull());
}

class Viewing : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        start();
    }
    // A fresh schedule over a fresh user.ini.
    void start() {
        QFile::remove(m_dir.filePath("user.ini"));
        userIni = std::make_unique<ProfileFile>(m_dir.filePath("user.ini"));
        settings.SeeTime = "24:0";
        shows = 0;
        navigations.clear();
        ScheduleHooks hooks;
        hooks.notice = [this](const QString& title, const QString& text) {
            notices.append(title + "|" + text);
        };
        hooks.clearNotice = [this] { notices.append("(cleared)"); };
        hooks.trayIconGeometry = [] { return QRect(1600, 1030, 24, 20); };
        hooks.mainWindowVisible = [this] { return mainVisible; };
        hooks.showMainWindow = [this] {
            mainVisible = true;
            ++shows;
        };
        hooks.navigate = [this](const QString& url) { navigations.append(url); };
        viewing = std::make_unique<ScheduledViewing>(
            settings, [this] { return userIni.get(); }, alarm, "Tvlist/COCK.wav", hooks,
            [this] { return now; });
    }
    void TearDown() override {
        if (TfrmPS* reminder = viewing->reminder())
            reminder->close();
        flushDeletes();
    }

    QTemporaryDir m_dir;
    AppSettings settings;
    std::unique_ptr<ProfileFile> userIni;
    FakeAlarmSound alarm;
    QStringList notices;
    QStringList navigations;
    bool mainVisible = true;
    int shows = 0;
    QDateTime now{QDate(2026, 12, 9), QTime(7, 5, 30)};
    std::unique_ptr<ScheduledViewing> viewing;
};

TEST_F(Viewing, OkWritesTheScheduleInOrderArmsAndAnnounces) {
    TSetTimeForm* dialog = viewing->openTimerDialog(QStringLiteral("中央一台"), "http://tv/1");
    QPointer<TSetTimeForm> alive(dialog);
    dialog->ui().Edit1->setText("7");
    dialog->ui().Edit2->setText("5");
    dialog->ButtonokClick();
    flushDeletes();
    EXPECT_TRUE(alive.isNull());
    EXPECT_EQ(settings.SeeTime, "7:5");
    EXPECT_TRUE(viewing->Timer_SeeTv().isActive());
    EXPECT_EQ(viewing->Timer_SeeTv().interval(), 4000);
    const QByteArray file = test::readFile(userIni->path());
    const qsizetype name = file.indexOf("ChannelName=" + codepage::fromUnicode("中央一台"));
    const qsizetype url = file.indexOf("Channelurl=http://tv/1");
    const qsizetype time = file.indexOf("SeeTime=7:5");
    EXPECT_TRUE(name >= 0 && url > name && time > url) << file.toStdString();
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices[0], QStringLiteral("Koro提示|定时播放已设置,7:5将准时播放\r<中央一台>"));
}

TEST_F(Viewing, BadFieldsOrAnUnwritableFileSaveNothingAndKeepTheDialog) {
    TSetTimeForm* dialog = viewing->openTimerDialog("CCTV", "http://tv/1");
    QPointer<TSetTimeForm> alive(dialog);
    for (const auto& [h, m, unwritable] : {std::tuple{"24", "0", false},
                                           {"7", "60", false},
                                           {"", "5", false},
                                           {"7", "", false},
                                           {"7", "5", true}}) {
        SCOPED_TRACE(std::string(h) + ":" + m);
        if (unwritable)
            userIni = std::make_unique<ProfileFile>(m_dir.filePath("missing-folder/user.ini"));
        dialog->ui().Edit1->setText(h);
        dialog->ui().Edit2->setText(m);
        dialog->ButtonokClick();
        flushDeletes();
        ASSERT_FALSE(alive.isNull());
        EXPECT_EQ(settings.SeeTime, "24:0");
        EXPECT_FALSE(viewing->Timer_SeeTv().isActive());
        EXPECT_FALSE(QFile::exists(userIni->path()));
        EXPECT_TRUE(notices.isEmpty());
    }
    dialog->close();
}

TEST_F(Viewing, TheMatchBringsTheReminderAndTheAlarm) {
    userIni->writeString("UserTV", "channelname", codepage::fromUnicode("中央一台"));
    userIni->writeString("UserTV", "Channelurl", "http://tv/1");
    settings.SeeTime = "7:6";
    viewing->Timer_SeeTv().start();
    viewing->Timer_SeeTvTimer();
    EXPECT_EQ(viewing->reminder(), nullptr);
    settings.SeeTime = "7:5";
    viewing->Timer_SeeTvTimer();
    TfrmPS* reminder = viewing->reminder();
    ASSERT_NE(reminder, nullptr);
    EXPECT_TRUE(reminder->isVisible());
    EXPECT_FALSE(viewing->Timer_SeeTv().isActive());
    EXPECT_TRUE(viewing->TimerSound().isActive());
    EXPECT_EQ(notices, QStringList{"(cleared)"}); // no balloon covers the bubble
    EXPECT_EQ(reminder->ui().RichEdit1->toPlainText(),
              QStringLiteral("提示：中央一台-到了您设定的观看时间<7:5>，是否观看？"));
    EXPECT_EQ(reminder->channelUrl(), "http://tv/1");
    EXPECT_TRUE(reminder->Timer1().isActive());
    EXPECT_EQ(reminder->Timer1().interval(), 10000);

    viewing->TimerSoundTimer();
    viewing->TimerSoundTimer();
    EXPECT_TRUE(viewing->TimerSound().isActive());
    viewing->TimerSoundTimer();
    EXPECT_FALSE(viewing->TimerSound().isActive());
    EXPECT_EQ(alarm.plays, QStringList(3, "Tvlist/COCK.wav"));
    EXPECT_EQ(viewing->soundTicks(), 0);
}

TEST_F(Viewing, NoAddressNoReminderAndTheCheckGoesOn) {
    userIni->writeString("UserTv", "ChannelName", "CCTV");
    settings.SeeTime = "7:5";
    viewing->Timer_SeeTv().start();
    viewing->Timer_SeeTvTimer();
    EXPECT_EQ(viewing->reminder(), nullptr);
    EXPECT_TRUE(viewing->Timer_SeeTv().isActive());
    EXPECT_FALSE(viewing->TimerSound().isActive());
}

TEST_F(Viewing, EachAnswerEndsTheAlarmAndOnlyTheDeleteBoxDropsTheSchedule) {
    const struct {
        const char* what;
        bool visible;
        bool deleteBox;
        void (TfrmPS::*answer)();
        int shows;
        bool watched;
        QByteArray seeTime; // after, in the settings and in user.ini
    } cases[] = {
        {"ten seconds without an answer", false, false, &TfrmPS::Timer1Timer, 1, true, "7:5"},
        {"watch in a visible window", true, false, &TfrmPS::ButtonOkClick, 0, true, "7:5"},
        {"cancel with the delete box", true, true, &TfrmPS::ButtonCancelClick, 0, false, "24:0"},
        {"the close box", true, false, &TfrmPS::SpeedBtnCloseClick, 0, false, "7:5"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        start();
        userIni->writeString("UserTv", "Channelurl", "http://tv/1");
        userIni->writeString("UserTv", "SeeTime", "7:5");
        settings.SeeTime = "7:5";
        mainVisible = c.visible;
        viewing->Timer_SeeTvTimer();
        TfrmPS* reminder = viewing->reminder();
        ASSERT_NE(reminder, nullptr);
        viewing->TimerSoundTimer();
        reminder->ui().CheckBox1->setChecked(c.deleteBox);
        (reminder->*c.answer)();
        flushDeletes();
        EXPECT_EQ(viewing->reminder(), nullptr);
        EXPECT_EQ(shows, c.shows);
        EXPECT_EQ(navigations, c.watched ? QStringList{"http://tv/1"} : QStringList{});
        EXPECT_FALSE(viewing->TimerSound().isActive());
        EXPECT_EQ(viewing->soundTicks(), 0);
        EXPECT_EQ(settings.SeeTime, c.seeTime);
        EXPECT_EQ(userIni->readString("UserTv", "SeeTime", ""), c.seeTime);
    }
}

TEST(ReminderPlacement, TailPointsAtTheTrayIconAndTheBubbleStaysWhollyOnScreen) {
    const QRect screen(0, 0, 1680, 1050);
    const QRect work(0, 0, 1680, 1026);
    const QRect icon(1500, 1028, 22, 22);
    const QRect r = reminderGeometry(icon, screen, work);
    EXPECT_EQ(r.size(), QSize(238, 126));
    // The tip (220, 125) lies on the icon's middle, just inside its top edge.
    EXPECT_EQ(r.topLeft() + QPoint(220, 125), QPoint(icon.center().x(), icon.top() + 7));

    for (const QRect& elsewhere :
         {QRect(1670, 1030, 22, 22), QRect(5, 1030, 22, 22), QRect(800, 0, 22, 22),
          QRect(-50, -50, 10, 10), QRect(1700, 1100, 22, 22)})
        EXPECT_TRUE(screen.contains(reminderGeometry(elsewhere, screen, work)))
            << elsewhere.x() << "," << elsewhere.y();
    // No tray: the bottom right of the work area.
    EXPECT_EQ(reminderGeometry(QRect(), screen, work).bottomRight(), work.bottomRight());
}

TEST(ReminderLook, BubbleShowsAndWhiteIsSeeThrough) {
    auto* reminder = new TfrmPS(QRect(), {});
    reminder->setReminder("text", "http://tv/1");
    reminder->show();
    const QImage image = reminder->grab().toImage();
    if (const char* dump = std::getenv("KORO_DUMP_REMINDER"))
        image.save(QString::fromLocal8Bit(dump));
    EXPECT_EQ(image.size(), QSize(238, 126));
    // The pale fill inside the bubble, below the check box.
    EXPECT_EQ(QColor(image.pixel(60, 96)), QColor(233, 254, 255));
    // The corner outside the rounded edge and the space beside the tail are not part of it.
    const QRegion shape = reminder->mask();
    EXPECT_FALSE(shape.contains(QPoint(0, 0)));
    EXPECT_FALSE(shape.contains(QPoint(5, 120)));
    EXPECT_TRUE(shape.contains(QPoint(60, 96)));
    EXPECT_TRUE(shape.contains(QPoint(219, 115))); // the tail
    reminder->close();
    flushDeletes();
}

class Shutdown : public ::testing::Test {
protected:
    void SetUp() override {
        ScheduleHooks hooks;
        hooks.notice = [this](const QString& title, const QString& text) {
            notices.append(title + "|" + text);
        };
        timer =
            std::make_unique<ShutdownTimer>(settings, power, info, hooks, [this] { return now; });
    }
    AppSettings settings;
    FakePowerControl power;
    FakePlatformInfo info;
    QStringList notices;
    QDateTime now{QDate(2026, 12, 9), QTime(23, 29, 58)};
    std::unique_ptr<ShutdownTimer> timer;
};

TEST_F(Shutdown, OkArmsAnnouncesAndStoresNothingButTheTime) {
    TSetTimeForm* dialog = timer->openTimerDialog();
    EXPECT_EQ(dialog->ui().Edit1->text(), "12");
    EXPECT_FALSE(dialog->ui().ButtonCancelPower->isVisibleTo(dialog)) << "nothing to cancel yet";
    EXPECT_EQ(timer->openTimerDialog(), dialog) << "a second request brings the open one forward";
    dialog->ui().Edit1->setText("23");
    dialog->ui().Edit2->setText("30");
    dialog->ButtonokClick();
    flushDeletes();
    EXPECT_EQ(settings.PowerOffTime, "23:30");
    EXPECT_TRUE(timer->TimerPowerOff().isActive());
    EXPECT_EQ(timer->TimerPowerOff().interval(), 3000);
    ASSERT_EQ(notices.size(), 1);
    EXPECT_EQ(notices[0],
              QStringLiteral("Koro提示|定时关机设置成功,23:30将自动关机,\r退出Koro失效!"));

    // Armed, the dialog shows the time and offers to cancel it.
    TSetTimeForm* again = timer->openTimerDialog();
    EXPECT_EQ(again->ui().Edit1->text(), "23");
    EXPECT_EQ(again->ui().Edit2->text(), "30");
    ASSERT_TRUE(again->ui().ButtonCancelPower->isVisibleTo(again));
    again->ui().ButtonCancelPower->click();
    flushDeletes();
    EXPECT_FALSE(timer->armed());
    EXPECT_FALSE(timer->TimerPowerOff().isActive()) << "the check no longer runs";
}

TEST_F(Shutdown, AtTheMinuteACountdownTheUserCanStop) {
    timer->arm("23:30");
    timer->TimerPowerOffTimer();
    EXPECT_EQ(timer->countdown(), nullptr) << "not before the minute";
    now = now.addSecs(2); // 23:30:00
    timer->TimerPowerOffTimer();
    EXPECT_FALSE(timer->TimerPowerOff().isActive());
    EXPECT_EQ(settings.PowerOffTime, "23:30"); // shown again when the dialog reopens
    QPointer<ShutdownCountdown> countdown = timer->countdown();
    ASSERT_TRUE(countdown);
    EXPECT_TRUE(countdown->isVisible());
    EXPECT_TRUE(countdown->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(countdown->secondsLeft(), 30);

    // Cancelled, nothing is asked of the system.
    countdown->cancelClick();
    flushDeletes();
    EXPECT_TRUE(countdown.isNull());
    EXPECT_EQ(power.powerOffs, 0);

    // Run out, the power goes off, once.
    timer->ShutDownComputer();
    countdown = timer->countdown();
    ASSERT_TRUE(countdown);
    for (int i = 0; i < 30; ++i)
        QMetaObject::invokeMethod(&countdown->TimerCountdown(), "timeout");
    EXPECT_EQ(power.powerOffs, 1);
    flushDeletes();
    EXPECT_TRUE(countdown.isNull());
}

TEST_F(Shutdown, TheOtherFamilyPowersOffAtOnce) {
    info.value = PlatformFamily::Win9x;
    now = QDateTime(QDate(2026, 12, 9), QTime(7, 5));
    timer->arm("7:5");
    timer->TimerPowerOffTimer();
    EXPECT_EQ(power.powerOffs, 1);
    EXPECT_EQ(timer->countdown(), nullptr);
}

TEST_F(Shutdown, AnUnreadableTimeNeverFires) {
    timer->arm("24:0");
    now = QDateTime(QDate(2026, 12, 10), QTime(0, 0));
    timer->TimerPowerOffTimer();
    EXPECT_EQ(power.powerOffs, 0);
    EXPECT_TRUE(timer->TimerPowerOff().isActive());
}

TEST_F(Viewing, AGuideReminderUsesTheBubbleAndAlarmButNeverTouchesTheSchedule) {
    settings.SeeTime = "21:30";
    userIni->writeString("UserTv", "SeeTime", "21:30");
    mainVisible = false;
    int watched = 0;
    TfrmPS* reminder =
        viewing->remind(QStringLiteral("提示：一台-新闻<19:00>开始了"), [&] { ++watched; });
    ASSERT_EQ(reminder, viewing->reminder());
    EXPECT_TRUE(reminder->isVisible());
    EXPECT_TRUE(viewing->TimerSound().isActive());
    // Its box would delete the one schedule of user.ini, which this reminder is not.
    EXPECT_FALSE(reminder->ui().CheckBox1->isVisibleTo(reminder));
    reminder->ui().CheckBox1->setChecked(true);
    reminder->ButtonOkClick();
    flushDeletes();
    EXPECT_EQ(watched, 1);
    EXPECT_EQ(shows, 1);
    EXPECT_TRUE(navigations.isEmpty());
    EXPECT_FALSE(viewing->TimerSound().isActive());
    EXPECT_EQ(settings.SeeTime, "21:30");
    EXPECT_EQ(userIni->readString("UserTv", "SeeTime", ""), "21:30");
}

} // namespace
} // namespace koro
