#include "app/StartupFiles.h"
#include "config/CodePage.h"
#include "config/Error.h"
#include "support/Child.h"
#include "support/Files.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>

namespace {

QByteArray resource(const QString& name) {
    koro::initStartupResources();
    QFile file(QStringLiteral(":/startup/") + name);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    return file.readAll();
}

using koro::test::readFile;
using koro::test::writeFile;

// The TForm1 section's component names after the form itself, in file order.
const char Form1Components[] =
    "xuanx Menu_SoftSet MenuPower menuexit huanfu shipz sixroom youku tudou ku6 "
    "ououvideo Mofilevideo sinavideo wole tuijian baidurRadio MP31 MenuFavorit IE1 "
    "AddFav FinishFav Mainmenudownsite menucrsky menugreen Menusinadown Menuskycn "
    "menuorsoon downbank BT1 Mainmenunewssite menusina menusohu menuqq menubaidunews "
    "menutiexue Cnbeta1 Mainmenugamesite menu17173 menuuuu9 menupcgames menu4399 "
    "Mainmenubbs menuxiaonei menutianya menucat898 Mainmenuxiaoshuo menuqidian "
    "menuhongxiu menuxxsy Mainmenucaij menueastmoney menucfi menustockstar "
    "Mainmenuguowai MenuTranslate Menulccx Menubus Menuhaoservers kuaijie MenuSound "
    "menumax menuhide MenuMini MenuCloseHotKey selectway telcom cnc help zxhelp gywm "
    "MainmenuDownnew hygw tuopanshow tuopanexit Poptopshow Popbaidu PopTaoBao";

TEST(BuiltInLanguageFile, LinesSectionsAndKeysInOrder) {
    const QByteArray bytes = resource(QStringLiteral("2052.ini"));
    ASSERT_FALSE(bytes.isEmpty());
    EXPECT_FALSE(bytes.endsWith("\n"));
    EXPECT_TRUE(
        bytes.endsWith(koro::codepage::fromUnicode(QStringLiteral("ButtonCancel.caption=取消"))));

    const QList<QByteArray> lines = bytes.split('\n');
    ASSERT_EQ(lines.size(), 119);
    for (qsizetype i = 0; i + 1 < lines.size(); ++i)
        EXPECT_TRUE(lines[i].endsWith('\r')) << "line " << i + 1 << " has no CR LF";

    QStringList text;
    for (const QByteArray& line : lines) {
        const QByteArray body = line.endsWith('\r') ? line.chopped(1) : line;
        EXPECT_FALSE(body.contains('\r'));
        text.append(koro::codepage::toUnicode(body));
    }
    EXPECT_EQ(text[0], QString(39, u';'));
    EXPECT_EQ(text[1], QStringLiteral("; system parter"));
    EXPECT_EQ(text[2], QString(37, u';'));

    // Sections in order, and each section's keys in order.
    QStringList sections;
    QMap<QString, QStringList> keys;
    QMap<QString, QStringList> values;
    QString current;
    for (const QString& line : text) {
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[')) {
            current = line.mid(1, line.size() - 2);
            sections.append(current);
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        ASSERT_GT(eq, 0) << line.toStdString();
        EXPECT_NE(line.at(eq - 1), u' ') << line.toStdString();
        EXPECT_NE(line.at(eq + 1), u' ') << line.toStdString();
        keys[current].append(line.left(eq));
        values[current].append(line.mid(eq + 1));
    }
    EXPECT_EQ(sections,
              (QStringList{"Info", "common", "TForm1", "TForm_SoftSet", "TSetTimeForm", "TfrmPS"}));
    EXPECT_EQ(keys["common"], (QStringList{"msgtle1", "msgtle2", "msgtle3", "Exittips"}));
    EXPECT_EQ(values["common"][1], QStringLiteral("提示"));
    EXPECT_EQ(values["common"][3], QStringLiteral("您确定要退出吗?"));

    QStringList form1{QStringLiteral(".caption")};
    for (const QString& name : QString::fromLatin1(Form1Components).split(u' '))
        form1.append(name + QStringLiteral(".caption"));
    ASSERT_EQ(form1.size(), 78);
    EXPECT_EQ(keys["TForm1"], form1);
    EXPECT_EQ(values["TForm1"][0], QStringLiteral("Koro网络电视 3.0"));
    EXPECT_EQ(values["TForm1"][4], QStringLiteral("退出"));

    EXPECT_EQ(keys["TForm_SoftSet"].size(), 11);
    EXPECT_EQ(keys["TSetTimeForm"], (QStringList{"Label2.caption", "Label3.caption",
                                                 "Buttonok.caption", "Buttonexit.caption"}));
    EXPECT_EQ(values["TfrmPS"], (QStringList{"提示", "观看", "取消"}));
}

TEST(LoadingPage, IsTheBodyElementIn205Bytes) {
    const QByteArray page = resource(QStringLiteral("loading.htm"));
    EXPECT_EQ(page.size(), 205);
    EXPECT_TRUE(page.startsWith("\xEF\xBB\xBF<body oncontextmenu=\"return false\""));
    EXPECT_TRUE(page.contains(" background=loading.gif "));
    EXPECT_TRUE(page.endsWith("height=100%>\r\n</body>\r\n\r\n\r\n\r\n"));
    EXPECT_EQ(page.count('\n'), page.count("\r\n"));
}

// Frames, loop and delays are checked by decoding the picture in the ui tests.
TEST(LoadingAnimation, IsASixteenPixelGif89a) {
    const QByteArray gif = resource(QStringLiteral("loading.gif"));
    EXPECT_TRUE(gif.startsWith("GIF89a\x10\x00\x10\x00"));
    EXPECT_TRUE(gif.endsWith("\x00\x3B"));
    EXPECT_TRUE(gif.contains("NETSCAPE2.0\x03\x01\x00\x00"));
}

class ExtractStartupFiles : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(temp.isValid()); }
    // The message of the error extracting raised; empty when there was none.
    std::string error() {
        try {
            koro::extractStartupFiles(dir);
        } catch (const koro::Error& e) {
            return e.what();
        }
        return {};
    }
    QTemporaryDir temp;
    const QDir dir{temp.path()};
};

TEST_F(ExtractStartupFiles, WritesTheThreeFilesOverWhatIsThere) {
    writeFile(dir.filePath(QStringLiteral("html/loading.htm")), QByteArray(4096, 'x'));
    EXPECT_EQ(error(), "");
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("html/loading.htm"))),
              resource(QStringLiteral("loading.htm")));
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("html/loading.gif"))),
              resource(QStringLiteral("loading.gif")));
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("Language/2052.ini"))),
              resource(QStringLiteral("2052.ini")));
    EXPECT_EQ(error(), "") << "a second start finds everything in place";
}

TEST_F(ExtractStartupFiles, AFolderThatCannotBeMadeIsAnError) {
    writeFile(dir.filePath(QStringLiteral("Language")), "a file where the folder should be");
    EXPECT_NE(error().find("Language"), std::string::npos);
    // The steps before the failing one are done.
    EXPECT_EQ(readFile(dir.filePath(QStringLiteral("html/loading.gif"))),
              resource(QStringLiteral("loading.gif")));
}

TEST_F(ExtractStartupFiles, AFileThatCannotBeWrittenIsAnError) {
    ASSERT_TRUE(dir.mkpath(QStringLiteral("html/loading.htm")));
    const std::string message = error();
    EXPECT_TRUE(message.starts_with("Unable to write to ")) << message;
    EXPECT_NE(message.find("html/loading.htm"), std::string::npos) << message;
}

TEST_F(ExtractStartupFiles, AFullDiskKeepsTheOldFilesAndIsAnError) {
    koro::initStartupResources();
    const QStringList names{"html/loading.htm", "html/loading.gif", "Language/2052.ini"};
    // The page and the picture fit under the larger limit, the language file does not.
    for (const rlim_t limit : {rlim_t(100), rlim_t(1000)}) {
        SCOPED_TRACE(limit);
        for (const QString& name : names)
            writeFile(dir.filePath(name), "old " + name.toUtf8());
        // A file size limit makes writes fail the way they do on a full disk, also for root.
        const int code = koro::test::inChild([&] {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit size{limit, limit};
            setrlimit(RLIMIT_FSIZE, &size);
            return error().starts_with("Unable to write to ") ? 0 : 1;
        });
        EXPECT_EQ(code, 0);

        const int written = limit == 100 ? 0 : 2;
        for (int i = 0; i < names.size(); ++i) {
            const QByteArray now = readFile(dir.filePath(names[i]));
            if (i < written)
                EXPECT_EQ(now, resource(QFileInfo(names[i]).fileName()));
            else
                EXPECT_EQ(now, "old " + names[i].toUtf8());
        }
        // No temporary file is left beside them.
        EXPECT_EQ(QDir(dir.filePath("html")).entryList(QDir::Files | QDir::Hidden).size(), 2);
        EXPECT_EQ(QDir(dir.filePath("Language")).entryList(QDir::Files | QDir::Hidden).size(), 1);
    }
}

} // namespace
