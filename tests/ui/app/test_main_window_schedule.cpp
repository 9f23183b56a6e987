#include "browse/NavigationBar.h"
#include "desktop/TrayNotices.h"
#include "schedule/ScheduledViewing.h"
#include "schedule/ShutdownCountdown.h"
#include "schedule/ShutdownTimer.h"
#include "schedule/SoftSetLauncher.h"
#include "schedule/TSetTimeForm.h"
#include "support/MainWindowFixture.h"
#include "support/Wait.h"
#include "ui_TForm_SoftSet.h"
#include "ui_TSetTimeForm.h"

#include <QApplication>
#include <QMenu>
#include <gtest/gtest.h>

namespace koro {
namespace {

// The timer dialogs shown now.
QList<TSetTimeForm*> timerDialogs() {
    QList<TSetTimeForm*> found;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* d = qobject_cast<TSetTimeForm*>(w); d && d->isVisible())
            found.append(d);
    }
    return found;
}

void closeTimerDialogs() {
    for (TSetTimeForm* d : timerDialogs())
        d->close();
    test::flushDeletes();
}

class MainWindowSchedule : public test::MainWindowFixture {
protected:
    void SetUp() override {
        MainWindowFixture::SetUp();
        start();
    }
    void TearDown() override {
        closeTimerDialogs();
        form.reset();
    }
};

TEST_F(MainWindowSchedule, PageContextMenuSchedulesThePageShown) {
    page()->setLocationName(QStringLiteral("体育频道"));
    page()->setLocationURL("http://127.0.0.1:9/sports");
    QMenu menu;
    emit page()->contextMenuAboutToShow(&menu);
    QAction* entry = nullptr;
    for (QAction* a : menu.actions())
        if (a->text() == QStringLiteral("定时观看..."))
            entry = a;
    ASSERT_NE(entry, nullptr);
    entry->trigger();
    const auto dialogs = timerDialogs();
    ASSERT_EQ(dialogs.size(), 1);
    EXPECT_EQ(dialogs[0]->ui().LabelTvName->text(), QStringLiteral("体育频道"));
    EXPECT_EQ(dialogs[0]->ui().Labeltvurl->text(), "http://127.0.0.1:9/sports");
    EXPECT_EQ(dialogs[0]->ui().Buttonok->property("hint").toString(), "SeeTvTime");
    dialogs[0]->ButtonokClick();
    ASSERT_EQ(fake.tray->notices.size(), 1);
    EXPECT_EQ(fake.tray->notices[0].title, QStringLiteral("Koro提示"));
    EXPECT_EQ(fake.tray->notices[0].kind, BalloonIconKind::Info);
    EXPECT_EQ(fake.tray->notices[0].seconds, 10);
    EXPECT_TRUE(form->timer("Timer_SeeTv")->isActive());
}

TEST_F(MainWindowSchedule, PowerMenuClosesTheLatestSettingsDialogOnly) {
    form->ui().MenuPower->trigger(); // none open: only the timer dialog
    ASSERT_EQ(timerDialogs().size(), 1);
    EXPECT_EQ(timerDialogs()[0]->ui().Buttonok->property("hint").toString(), "Power");
    closeTimerDialogs();

    form->ui().Menu_SoftSet->trigger();
    QPointer<TForm_SoftSet> first = form->parts().softSet->latest();
    form->ui().Menu_SoftSet->trigger();
    QPointer<TForm_SoftSet> second = form->parts().softSet->latest();
    ASSERT_TRUE(first && second && first != second);
    form->ui().MenuPower->trigger();
    test::flushDeletes();
    EXPECT_TRUE(second.isNull());
    EXPECT_FALSE(first.isNull());
    EXPECT_EQ(timerDialogs().size(), 1);
    first->close();
}

TEST_F(MainWindowSchedule, SettingsOkReachesTheMainWindow) {
    EXPECT_EQ(form->parts().navigation->searchEngine(), "Baidu");
    EXPECT_TRUE(form->parts().trayNotices->minimizeToTray());
    TForm_SoftSet* d = form->parts().softSet->open();
    d->ui().CmbSearch->setCurrentText(QStringLiteral("淘宝"));
    d->ui().CheckBox3->setChecked(true);
    d->ui().CheckBox1->setChecked(false);
    d->Button1Click();
    EXPECT_EQ(form->parts().navigation->searchEngine(), "TaoBao");
    EXPECT_FALSE(form->parts().trayNotices->minimizeToTray());
    EXPECT_EQ(form->settings().MinTask, "1");
    EXPECT_FALSE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(MainWindowSchedule, ShutdownAtTheMinuteAsksThePowerService) {
    const QTime now = QTime::currentTime();
    if (now.second() > 55)
        GTEST_SKIP() << "too close to the next minute";
    EXPECT_FALSE(form->ui().tuopanpower->isVisible());
    form->parts().shutdown->arm(QByteArray::number(now.hour()) + ":" +
                                QByteArray::number(now.minute()));
    EXPECT_TRUE(form->ui().tuopanpower->isVisible()) << "the tray menu offers to cancel it";
    form->parts().shutdown->TimerPowerOffTimer();
    ASSERT_NE(form->parts().shutdown->countdown(), nullptr);
    EXPECT_EQ(fake.power->powerOffs, 0) << "not before the countdown has run out";
    form->parts().shutdown->countdown()->powerOffNowClick();
    EXPECT_EQ(fake.power->powerOffs, 1);
    EXPECT_TRUE(form->settings().PowerOffTime.size() >= 3);
}

} // namespace
} // namespace koro
