#include "LanguageTestForms.h"
#include "app/StartupFiles.h"
#include "config/CodePage.h"
#include "config/Error.h"
#include "config/Language.h"
#include "schedule/TfrmPS.h"
#include "ui_TfrmPS.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

using koro::testing::TProps;
using koro::testing::TTestForm;

class LanguageFiles : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        paths = {m_dir.path(), QStringLiteral("koro"), 2052};
    }

    // Writes a language file in the code page with CR LF line ends.
    static void write(const QString& path, QString text) {
        koro::test::writeFile(path, koro::codepage::fromUnicode(text.replace("\n", "\r\n")));
    }

    void writePrimary(const QString& text) { write(koro::primaryLanguageFile(paths, 2052), text); }
    void writeSecondary(const QString& text) { write(koro::secondaryLanguageFile(paths), text); }

    // Applies the files to form; returns the information notices shown.
    QStringList apply(QWidget* form) {
        QStringList notices;
        koro::applyLanguage(2052, form, paths,
                            [&notices](const QString& text) { notices.append(text); });
        return notices;
    }

    QTemporaryDir m_dir;
    koro::LanguagePaths paths;
};

TEST_F(LanguageFiles, CaptionsOfFormMenusActionsAndControls) {
    writePrimary(QStringLiteral("[TTestForm]\n"
                                ".caption=Koro网络电视 3.0\n"
                                "xuanx.caption=选 项\n"
                                "menuexit.caption=退出\n"
                                "Label1.caption=皮肤选择：\n"
                                "Button1.caption=确定\n"
                                "GroupBox1.caption=分组\n"
                                "Button1.hint=按下确定\n"));
    TTestForm form;
    EXPECT_TRUE(apply(&form).isEmpty());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Koro网络电视 3.0"));
    EXPECT_EQ(form.xuanx->title(), QStringLiteral("选 项"));
    EXPECT_EQ(form.xuanx->menuAction()->text(), QStringLiteral("选 项"));
    EXPECT_EQ(form.menuexit->text(), QStringLiteral("退出"));
    EXPECT_EQ(form.label->text(), QStringLiteral("皮肤选择："));
    EXPECT_EQ(form.button->text(), QStringLiteral("确定"));
    EXPECT_EQ(form.group->title(), QStringLiteral("分组"));
    EXPECT_EQ(form.button->toolTip(), QStringLiteral("按下确定"));
}

TEST_F(LanguageFiles, WhichKeysApplyAndInWhatOrder) {
    const struct {
        const char* what;
        QString secondary, primary; // empty: no file
        QString title, exit, label, button;
        int count;
    } cases[] = {
        {"names match without regard to case, blanks around them dropped",
         {},
         "[ttestform]\nCaption=Whole key\n MENUEXIT . CAPTION =Quit\nprops.COUNT=12\n"
         "label1.Text=plain text property\n",
         "Whole key",
         "Quit",
         "plain text property",
         "OK",
         12},
        {"an unknown component stops the section, empty values are skipped",
         {},
         "[TTestForm]\nmenuexit.caption=Quit\nLabel1.caption=\nProps.nosuchproperty=1\n"
         "NoSuchComponent.caption=x\nButton1.caption=never\n",
         "TV",
         "Quit",
         "Label",
         "OK",
         0},
        {"an unknown component first disables the whole section",
         {},
         "[TTestForm]\nNoSuchComponent.caption=\n.caption=never\n",
         "TV",
         "Exit",
         "Label",
         "OK",
         0},
        {"the secondary file first, then the primary over it",
         "[TTestForm]\n.caption=secondary\nLabel1.caption=only here\n",
         "[TTestForm]\n.caption=primary\nButton1.caption=Go\n", "primary", "Exit", "only here",
         "Go", 0},
        {"no files leave the layout texts", {}, {}, "TV", "Exit", "Label", "OK", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(m_dir.path()).removeRecursively();
        if (!c.secondary.isEmpty())
            writeSecondary(c.secondary);
        if (!c.primary.isEmpty())
            writePrimary(c.primary);
        TTestForm form;
        apply(&form);
        EXPECT_EQ(form.windowTitle(), c.title);
        EXPECT_EQ(form.menuexit->text(), c.exit);
        EXPECT_EQ(form.label->text(), c.label);
        EXPECT_EQ(form.button->text(), c.button);
        EXPECT_EQ(form.props->count, c.count);
    }
}

TEST_F(LanguageFiles, ValuesAreConvertedToThePropertyType) {
    writePrimary(QStringLiteral("[TTestForm]\n"
                                "Props.count=-42\n"
                                "Props.active=TRUE\n"
                                "Props.mode=sameform\n"
                                "Props.options=[Bold, underline]\n"
                                "Props.items=\"new window\"|same \"\"\"q\"\"\"|\n"
                                "Props.ratio=0.75\n"
                                "Props.text=  kept as it stands\n"
                                "Props.readOnlyCount=9\n"));
    TTestForm form;
    apply(&form);
    EXPECT_EQ(form.props->count, -42);
    EXPECT_TRUE(form.props->active);
    EXPECT_EQ(form.props->mode, TProps::SameForm);
    EXPECT_EQ(form.props->options, TProps::Options(TProps::Bold | TProps::Underline));
    EXPECT_EQ(form.props->items, (QStringList{"new window", "same", "\"q\"", ""}));
    EXPECT_DOUBLE_EQ(form.props->ratio, 0.75);
    EXPECT_EQ(form.props->text, QStringLiteral("kept as it stands"));
}

TEST_F(LanguageFiles, ABadValueEndsTheApplicationKeepingWhatWasSetBefore) {
    const char* bad[] = {"Props.count=twelve",  "Props.count=99999999999",    "Props.active=yes",
                         "Props.mode=Sideways", "Props.options=[Bold,Heavy]", "Props.ratio=0,5"};
    for (const char* line : bad) {
        SCOPED_TRACE(line);
        writeSecondary(QStringLiteral("[TTestForm]\nLabel1.caption=from the secondary file\n"));
        writePrimary(QStringLiteral("[TTestForm]\nmenuexit.caption=Quit\n%1\n"
                                    "Button1.caption=never\n")
                         .arg(QString::fromLatin1(line)));
        TTestForm form;
        EXPECT_THROW(apply(&form), koro::Error);
        EXPECT_EQ(form.label->text(), QStringLiteral("from the secondary file"));
        EXPECT_EQ(form.menuexit->text(), QStringLiteral("Quit"));
        EXPECT_EQ(form.button->text(), QStringLiteral("OK"));
    }
}

TEST_F(LanguageFiles, AnObjectPropertyIsReportedAndTheNextKeyStillApplies) {
    writePrimary(QStringLiteral("[TTestForm]\nProps.buddy=Label1\nmenuexit.caption=Quit\n"));
    TTestForm form;
    const QStringList notices = apply(&form);
    EXPECT_EQ(notices,
              QStringList{QStringLiteral("property kind=tkClass;Name=[QWidget] Not implement")});
    EXPECT_EQ(form.props->buddy, nullptr);
    EXPECT_EQ(form.menuexit->text(), QStringLiteral("Quit"));
}

TEST_F(LanguageFiles, OpeningTheSameFileOrTargetingTheSameFormAgainAppliesNothing) {
    writePrimary(QStringLiteral("[TTestForm]\n.caption=from file\n"));
    const QString primary = koro::primaryLanguageFile(paths, 2052);
    TTestForm form;
    koro::TLanguageFile language(koro::secondaryLanguageFile(paths));
    language.OpenLanguageFile(primary);
    EXPECT_EQ(language.filePath(), primary);
    language.SetTargetForm(&form);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("from file"));

    form.setWindowTitle(QStringLiteral("changed"));
    language.OpenLanguageFile(primary);
    language.SetTargetForm(&form);
    EXPECT_EQ(form.windowTitle(), QStringLiteral("changed"));

    // A path with no file keeps the open one.
    language.OpenLanguageFile(m_dir.filePath(QStringLiteral("missing.ini")));
    EXPECT_EQ(language.filePath(), primary);
}

TEST_F(LanguageFiles, CommonTextsMatchKeysWithoutRegardToCase) {
    writePrimary(QStringLiteral("[Common]\nMsgTle2=提示\nExittips=您确定要退出吗?\n"));
    koro::TLanguageFile language(koro::secondaryLanguageFile(paths));
    EXPECT_EQ(language.CommonText(QStringLiteral("msgtle2")), QString());
    language.OpenLanguageFile(koro::primaryLanguageFile(paths, 2052));
    EXPECT_EQ(language.CommonText(QStringLiteral("msgtle2")), QStringLiteral("提示"));
    EXPECT_EQ(language.CommonText(QStringLiteral("EXITTIPS")), QStringLiteral("您确定要退出吗?"));
    EXPECT_EQ(language.CommonText(QStringLiteral("missing")), QString());
}

TEST_F(LanguageFiles, TheBuiltInFileTranslatesTheReminderWindow) {
    koro::extractStartupFiles(QDir(m_dir.path()));
    koro::TfrmPS form(QRect(), [this](QWidget* w) { apply(w); });
    EXPECT_EQ(form.windowTitle(), QStringLiteral("提示"));
    EXPECT_EQ(form.ui().ButtonOk->text(), QStringLiteral("观看"));
    EXPECT_EQ(form.ui().ButtonCancel->text(), QStringLiteral("取消"));
}

TEST_F(LanguageFiles, TheExitQuestionFromTheBuiltInFile) {
    koro::extractStartupFiles(QDir(m_dir.path()));
    const auto box =
        koro::makeLanguageMessageBox(QStringLiteral("Exittips"), koro::MbYesNo, 2052, paths);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("提示"));
    EXPECT_EQ(box->text(), QStringLiteral("您确定要退出吗?"));
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box->icon(), QMessageBox::NoIcon);
    EXPECT_EQ(box->windowModality(), Qt::ApplicationModal);

    QTimer::singleShot(0, box.get(), [&box] { box->button(QMessageBox::No)->click(); });
    const QMessageBox::StandardButton answer = koro::execMessageBox(*box);
    EXPECT_EQ(answer, QMessageBox::No);
    EXPECT_EQ(koro::messageBoxResultCode(answer), koro::IdNo);
    EXPECT_EQ(koro::messageBoxResultCode(QMessageBox::Yes), koro::IdYes);
}

TEST_F(LanguageFiles, TheMessageBoxFallsBackToTheSecondaryFile) {
    writeSecondary(QStringLiteral("[common]\nmsgtle2=Notice\nExittips=Really quit?\n"));
    auto box = koro::makeLanguageMessageBox(QStringLiteral("Exittips"), 4, 2052, paths);
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Notice"));
    EXPECT_EQ(box->text(), QStringLiteral("Really quit?"));

    QDir(m_dir.path()).removeRecursively();
    box = koro::makeLanguageMessageBox(QStringLiteral("Exittips"), 1 | koro::MbIconInformation,
                                       2052, paths);
    EXPECT_EQ(box->windowTitle(), QString());
    EXPECT_EQ(box->text(), QString());
    EXPECT_EQ(box->standardButtons(), QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(box->icon(), QMessageBox::Information);
}

} // namespace
