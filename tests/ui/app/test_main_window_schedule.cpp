#include "app/TForm1.h"
#include "platform/fake/FakePlatform.h"
#include "schedule/ShutdownTimer.h"
#include "schedule/SoftSetLauncher.h"
#include "schedule/TSetTimeForm.h"
#include "ui_TForm1.h"
#include "ui_TForm_SoftSet.h"
#include "ui_TSetTimeForm.h"

#include <QApplication>
#include <QMenu>
#include <QTemporaryDir>
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
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

class MainWindowSchedule : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        fake = makeFakePlatform(dir.filePath("Favorites"));
        form = std::make_unique<TForm1>(*fake.platform, Endpoints::local("http://127.0.0.1:9"),
                                        FormPaths{dir.path(), "koro", QDir(dir.path())});
        form->FormCreate();
    }
    void TearDown() override {
        closeTimerDialogs();
        form.reset();
    }
    FakeBrowserControl* page() { return fake.browsers->instance(BrowserRole::PageArea); }

    QTemporaryDir dir;
    FakePlatform fake;
    std::unique_ptr<TForm1> form;
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
    EXPECT_EQ(fake.tray->notices[0].title, QStringLiteral("Lumo提示"));
    EXPECT_EQ(fake.tray->notices[0].kind, BalloonIconKind::Info);
    EXPECT_EQ(fake.tray->notices[0].seconds, 10);
    EXPECT_TRUE(form->timer("Timer_SeeTv")->isActive());
}

TEST_F(MainWindowSchedule, PowerMenuClosesTheLatestSettingsDialogOnly) {
    form->MenuPowerClick(); // none open: only the timer dialog
    ASSERT_EQ(timerDialogs().size(), 1);
    EXPECT_EQ(timerDialogs()[0]->ui().Buttonok->property("hint").toString(), "Power");
    closeTimerDialogs();

    form->Menu_SoftSetClick();
    QPointer<TForm_SoftSet> first = form->softSet().latest();
    form->Menu_SoftSetClick();
    QPointer<TForm_SoftSet> second = form->softSet().latest();
    ASSERT_TRUE(first && second && first != second);
    form->MenuPowerClick();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(second.isNull());
    EXPECT_FALSE(first.isNull());
    EXPECT_EQ(timerDialogs().size(), 1);
    first->close();
}

TEST_F(MainWindowSchedule, SettingsOkReachesTheMainWindow) {
    EXPECT_EQ(form->searchEngine(), "Baidu");
    EXPECT_TRUE(form->minimizeToTray());
    TForm_SoftSet* d = form->softSet().open();
    d->ui().CmbSearch->setCurrentText("TaoBao");
    d->ui().CheckBox3->setChecked(true);
    d->ui().CheckBox1->setChecked(false);
    d->Button1Click();
    EXPECT_EQ(form->searchEngine(), "TaoBao");
    EXPECT_FALSE(form->minimizeToTray());
    EXPECT_EQ(form->settings().MinTask, "1");
    EXPECT_FALSE(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(MainWindowSchedule, ShutdownAtTheMinuteAsksThePowerService) {
    const QTime now = QTime::currentTime();
    if (now.second() > 55)
        GTEST_SKIP() << "too close to the next minute";
    form->shutdown().arm(QByteArray::number(now.hour()) + ":" + QByteArray::number(now.minute()));
    form->TimerPowerOffTimer();
    ASSERT_EQ(fake.power->requests.size(), 1);
    EXPECT_EQ(fake.power->requests[0].delaySeconds, 30);
    EXPECT_TRUE(form->settings().PowerOffTime.size() >= 3);
}

} // namespace
} // namespace koro
