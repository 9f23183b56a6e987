#include "config/AppSettings.h"
#include "config/CodePage.h"
#include "schedule/SoftSetLauncher.h"
#include "schedule/TForm_SoftSet.h"
#include "support/Files.h"
#include "support/PrintSettings.h"
#include "support/Wait.h"
#include "ui_TForm_SoftSet.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>
#include <gtest/gtest.h>

namespace koro {
namespace {

using test::flushDeletes;
using test::writeFile;

class SettingsDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        skinDir = m_dir.filePath("skin");
        ASSERT_TRUE(QDir().mkpath(skinDir));
        writeFile(skinDir + "/Blue.skn", {});
        writeFile(skinDir + "/jade.SKN", {});
        settings.pifu = "blue.skn";
        settings.Minstart = "1";
        hooks.searchEngine = [this] { return engine; };
        hooks.applySkin = [this](const QByteArray& name) {
            calls << "skin " + QString::fromLatin1(name);
            if (!name.isEmpty())
                settings.pifu = name;
        };
        hooks.applyBuiltInSkin = [this] {
            calls << "built-in skin";
            settings.pifu.clear();
        };
        hooks.setSearchEngine = [this](bool baidu) {
            calls << (baidu ? "engine Baidu" : "engine TaoBao");
        };
        hooks.setAlwaysOnTop = [this](bool on) { calls << (on ? "top on" : "top off"); };
        hooks.setMinimizeToTray = [this](bool on) { calls << (on ? "tray on" : "tray off"); };
        hooks.openShutdownDialog = [this] { calls << "shutdown"; };
    }
    // Every control set away from what the settings say.
    static TForm_SoftSet* changeEveryControl(TForm_SoftSet* d) {
        d->ui().pifuSet->setCurrentText("jade.SKN");
        d->ui().NewFormOpen->setCurrentIndex(1);
        d->ui().CmbSearch->setCurrentIndex(1);
        d->ui().CheckBox1->setChecked(false);
        d->ui().CheckBox2->setChecked(true);
        d->ui().CheckBox3->setChecked(true);
        d->ui().CheckBox4->setChecked(false);
        return d;
    }

    TForm_SoftSet* open() {
        auto* dialog = new TForm_SoftSet(settings, skinDir, hooks, &owner);
        m_dialog = dialog;
        return dialog;
    }
    void TearDown() override {
        if (m_dialog)
            m_dialog->close();
        flushDeletes();
    }
    QTemporaryDir m_dir;
    QString skinDir;
    QWidget owner;
    AppSettings settings = AppSettings::fresh();
    QByteArray engine = "Baidu";
    SoftSetHooks hooks;
    QStringList calls;
    QPointer<TForm_SoftSet> m_dialog;
};

TEST_F(SettingsDialog, FillsEveryControlFromTheSettings) {
    TForm_SoftSet* d = open();
    EXPECT_EQ(d->ui().NewFormOpen->currentIndex(), 0);
    QStringList skins;
    for (int i = 1; i < d->ui().pifuSet->count(); ++i)
        skins << d->ui().pifuSet->itemText(i);
    skins.sort();
    EXPECT_EQ(d->ui().pifuSet->itemText(0), QStringLiteral("默认外观"));
    EXPECT_EQ(skins, (QStringList{"Blue.skn", "jade.SKN"}));
    EXPECT_EQ(d->ui().pifuSet->currentText(), "Blue.skn"); // letter case ignored
    EXPECT_EQ(d->ui().CmbSearch->currentText(), QStringLiteral("百度"));
    EXPECT_EQ(d->ui().CmbSearch->currentData().toString(), "Baidu");
    EXPECT_TRUE(d->ui().CheckBox1->isChecked());
    EXPECT_FALSE(d->ui().CheckBox2->isChecked());
    EXPECT_FALSE(d->ui().CheckBox3->isChecked());
    EXPECT_TRUE(d->ui().CheckBox4->isChecked());
    EXPECT_TRUE(d->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(SettingsDialog, UnknownValuesSelectNothing) {
    settings.opennewfrm = "Elsewhere";
    settings.pifu = "gone.skn";
    settings.FrontShow = "yes";
    engine = "";
    TForm_SoftSet* d = open();
    EXPECT_EQ(d->ui().NewFormOpen->currentIndex(), -1);
    EXPECT_EQ(d->ui().pifuSet->currentIndex(), -1);
    EXPECT_EQ(d->ui().CmbSearch->currentIndex(), -1);
    EXPECT_FALSE(d->ui().CheckBox1->isChecked());
    d->Button1Click();
    EXPECT_EQ(settings.opennewfrm, "Elsewhere"); // unchanged when nothing is selected
    EXPECT_EQ(settings.FrontShow, "0");
    // An empty selection differs from pifu: the empty name goes to the skin, which keeps it.
    EXPECT_EQ(calls, (QStringList{"skin ", "engine TaoBao", "top off", "tray on"}));
    EXPECT_EQ(settings.pifu, "gone.skn");
}

TEST_F(SettingsDialog, OkWithoutChangesKeepsEverythingAndSkipsTheSkin) {
    settings.pifu = "Blue.skn";
    const AppSettings before = settings;
    TForm_SoftSet* d = open();
    d->Button1Click();
    flushDeletes();
    EXPECT_TRUE(m_dialog.isNull());
    EXPECT_EQ(calls, (QStringList{"engine Baidu", "top on", "tray on"}));
    EXPECT_EQ(settings, before);
}

TEST_F(SettingsDialog, OkAppliesEveryChangedControlInOrder) {
    const AppSettings expected{.UseHotKey = "1",
                               .pifu = "jade.SKN",
                               .opennewfrm = "OldForm",
                               .FrontShow = "0",
                               .CloseTips = "1",
                               .MinTask = "1",
                               .Minstart = "0",
                               .SeeTime = "24:0"};
    TForm_SoftSet* d = changeEveryControl(open());
    d->Button1Click();
    EXPECT_EQ(calls, (QStringList{"skin jade.SKN", "engine TaoBao", "top off", "tray off"}));
    EXPECT_EQ(settings, expected);
}

// The list's first entry is the built-in look: selected when pifu is blank, applied only when
// the look changes; a pifu spelled like the entry is a file that is gone.
TEST_F(SettingsDialog, TheBuiltInEntryAgreesWithPifu) {
    const QString builtIn = QStringLiteral("默认外观");
    const struct {
        QString pifu;
        QString selected; // as filled; empty: nothing
        QString choose;   // empty: kept
        QStringList skinCalls;
        QString pifuAfter;
    } cases[] = {
        {"", builtIn, {}, {}, ""},
        {"  ", builtIn, {}, {}, "  "},
        {"blue.skn", "Blue.skn", builtIn, {"built-in skin"}, ""},
        {"默认外观", {}, {}, {"skin "}, "默认外观"},
        {"", builtIn, "Blue.skn", {"skin Blue.skn"}, "Blue.skn"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pifu.toStdString() + " choosing " + c.choose.toStdString());
        settings.pifu = codepage::fromUnicode(c.pifu);
        calls.clear();
        TForm_SoftSet* d = open();
        EXPECT_EQ(d->ui().pifuSet->itemText(0), builtIn);
        EXPECT_EQ(d->ui().pifuSet->currentText(), c.selected);
        if (!c.choose.isEmpty())
            d->ui().pifuSet->setCurrentText(c.choose);
        d->Button1Click();
        flushDeletes();
        EXPECT_EQ(calls.filter("skin"), c.skinCalls);
        EXPECT_EQ(codepage::toUnicode(settings.pifu), c.pifuAfter);
    }
}

TEST_F(SettingsDialog, CancelAndTheCloseBoxChangeNothing) {
    const AppSettings before = settings;
    for (int way = 0; way < 2; ++way) {
        TForm_SoftSet* d = changeEveryControl(open());
        if (way == 0)
            d->Button2Click();
        else
            d->close();
        flushDeletes();
        EXPECT_TRUE(m_dialog.isNull());
    }
    EXPECT_TRUE(calls.isEmpty());
    EXPECT_EQ(settings, before);
}

TEST_F(SettingsDialog, ShutdownLinkOpensTheTimerAndCloses) {
    TForm_SoftSet* d = open();
    d->LblPowerOffClick();
    flushDeletes();
    EXPECT_EQ(calls, QStringList{"shutdown"});
    EXPECT_TRUE(m_dialog.isNull());
}

TEST(SkinEntries, AnyAttributeButAPlainDirectory) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"a.skn", ".hidden.skn", "ro.skn", "other.txt"})
        writeFile(dir.filePath(name), {});
    QFile(dir.filePath("ro.skn")).setPermissions(QFile::ReadOwner);
    ASSERT_TRUE(QDir(dir.path()).mkdir("plain.skn"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(".hiddendir.skn"));
    QStringList names = listSkinEntries(dir.path());
    names.sort();
    EXPECT_EQ(names, (QStringList{".hidden.skn", ".hiddendir.skn", "a.skn", "ro.skn"}));
    EXPECT_TRUE(listSkinEntries(dir.filePath("missing")).isEmpty());
}

TEST(SoftSetLauncherTest, SeveralDialogsAndTheLatestIsClosed) {
    QWidget owner;
    AppSettings settings;
    SoftSetLauncher launcher(settings, QString(), {}, &owner);
    QPointer<TForm_SoftSet> first = launcher.open();
    QPointer<TForm_SoftSet> second = launcher.open();
    EXPECT_EQ(launcher.latest(), second.data());
    launcher.closeLatest();
    flushDeletes();
    EXPECT_TRUE(second.isNull());
    EXPECT_FALSE(first.isNull());
    launcher.closeLatest(); // nothing left to close: the first one stays
    flushDeletes();
    EXPECT_FALSE(first.isNull());
    first->close();
    flushDeletes();
}

} // namespace
} // namespace koro
