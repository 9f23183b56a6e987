#include "browse/FavoritesScanner.h"
#include "browse/InternetShortcut.h"
#include "config/CodePage.h"
#include "config/Error.h"
#include "config/ProfileFile.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using namespace koro;

const QChar Replacement(QChar::ReplacementCharacter);

class FavoritesScannerTest : public ::testing::Test {
protected:
    void TearDown() override {
        // Read-only folders would keep the temporary folder from being removed.
        for (const QString& folder : lockedFolders)
            QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                              QFileDevice::ExeOwner);
    }

    QString path(const QString& relative) const { return dir.filePath(relative); }

    void folder(const QString& relative) { ASSERT_TRUE(QDir().mkpath(path(relative))); }

    void file(const QString& relative, const QByteArray& bytes) {
        test::writeFile(path(relative), bytes);
    }

    void shortcut(const QString& relative, const QByteArray& url) {
        file(relative, "[InternetShortcut]\r\nURL=" + url + "\r\n");
    }

    void lock(const QString& relative) {
        ASSERT_TRUE(QFile::setPermissions(path(relative),
                                          QFileDevice::ReadOwner | QFileDevice::ExeOwner |
                                              QFileDevice::ReadGroup | QFileDevice::ExeGroup |
                                              QFileDevice::ReadOther | QFileDevice::ExeOther));
        lockedFolders.append(path(relative));
    }

    // The names of the folder in the order the file system lists them.
    QStringList listed(const QString& relative) const {
        return QDir(path(relative), QString(), QDir::Unsorted,
                    QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
            .entryList();
    }

    FavoriteFolder scan(const QString& relative = QString()) const {
        return FavoritesScanner().ReadFavorit(relative.isEmpty() ? dir.path() : path(relative));
    }

    static QStringList names(const FavoriteFolder& folder) {
        QStringList result;
        for (const FavoriteFolder& sub : folder.folders)
            result.append(sub.name);
        return result;
    }
    static QStringList captions(const FavoriteFolder& folder) {
        QStringList result;
        for (const FavoriteLink& link : folder.links)
            result.append(link.caption);
        return result;
    }
    static const FavoriteLink* link(const FavoriteFolder& folder, const QString& caption) {
        for (const FavoriteLink& l : folder.links) {
            if (l.caption == caption)
                return &l;
        }
        return nullptr;
    }

    QTemporaryDir dir;
    QStringList lockedFolders;
};

TEST_F(FavoritesScannerTest, MissingFolderGivesAnEmptyTree) {
    const FavoriteFolder tree = scan("nowhere");
    EXPECT_TRUE(tree.folders.empty());
    EXPECT_TRUE(tree.links.empty());
}

TEST_F(FavoritesScannerTest, NestedFoldersBecomeNestedTreesWithTheirShortcuts) {
    folder("新闻/国内/北京/朝阳");
    shortcut("新闻/Sina.url", "http://news.example/");
    shortcut("新闻/国内/北京/朝阳/deep.url", "http://deep.example/");
    const FavoriteFolder tree = scan();
    ASSERT_EQ(names(tree), QStringList{"新闻"});
    const FavoriteFolder& news = tree.folders[0];
    EXPECT_EQ(captions(news), QStringList{"Sina"});
    ASSERT_EQ(names(news), QStringList{"国内"});
    ASSERT_EQ(names(news.folders[0]), QStringList{"北京"});
    const FavoriteFolder& chaoyang = news.folders[0].folders[0].folders[0];
    EXPECT_EQ(chaoyang.name, "朝阳");
    ASSERT_EQ(chaoyang.links.size(), 1u);
    EXPECT_EQ(chaoyang.links[0].caption, "deep");
    EXPECT_EQ(chaoyang.links[0].url, "http://deep.example/");
}

TEST_F(FavoritesScannerTest, ReadOnlyAndHiddenEntriesAreLeftOutWithTheirContents) {
    folder("locked/inner");
    shortcut("locked/in-locked.url", "http://a/");
    shortcut("locked/inner/deeper.url", "http://b/");
    folder(".hidden folder");
    shortcut(".hidden folder/in-hidden.url", "http://c/");
    shortcut(".hidden.url", "http://d/");
    shortcut("readonly.url", "http://e/");
    ASSERT_TRUE(QFile::setPermissions(path("readonly.url"), QFileDevice::ReadOwner));
    shortcut("kept.url", "http://f/");
    lock("locked");

    const FavoriteFolder tree = scan();
    EXPECT_TRUE(tree.folders.empty());
    EXPECT_EQ(captions(tree), QStringList{"kept"});
}

TEST_F(FavoritesScannerTest, SymbolicLinksToFoldersAreNotFollowed) {
    folder("real");
    shortcut("real/inside.url", "http://inside/");
    // A link back up would make the scan endless.
    ASSERT_TRUE(QFile::link(dir.path(), path("real/loop")));
    ASSERT_TRUE(QFile::link(path("real/inside.url"), path("linked.url")));
    const FavoriteFolder tree = scan();
    ASSERT_EQ(names(tree), QStringList{"real"});
    EXPECT_TRUE(tree.folders[0].folders.empty());
    // A link to a shortcut file is read like the file.
    const FavoriteLink* linked = link(tree, "linked");
    ASSERT_NE(linked, nullptr);
    EXPECT_EQ(linked->url, "http://inside/");
}

TEST_F(FavoritesScannerTest, FoldersComeBeforeFilesEachInTheOrderListed) {
    for (int i = 0; i < 12; ++i) {
        shortcut(QStringLiteral("site %1.url").arg(i), "http://x/");
        folder(QStringLiteral("group %1").arg(i));
    }
    const FavoriteFolder tree = scan();
    QStringList expectedFolders;
    QStringList expectedFiles;
    for (const QString& name : listed(QString())) {
        if (name.startsWith("group"))
            expectedFolders.append(name);
        else
            expectedFiles.append(name.chopped(4));
    }
    EXPECT_EQ(names(tree), expectedFolders);
    EXPECT_EQ(captions(tree), expectedFiles);
}

TEST_F(FavoritesScannerTest, CaptionsDropTheFirstLowerCaseExtensionAndAreCutAt36Bytes) {
    shortcut("Upper.URL", "http://u/");
    shortcut("a.url.url", "http://a/");
    // 20 Chinese characters are 40 bytes: cut between two characters.
    const QString even = QStringLiteral("一二三四五六七八九十甲乙丙丁戊己庚辛壬癸");
    ASSERT_EQ(codepage::fromUnicode(even).size(), 40);
    shortcut(even + ".url", "http://even/");
    QStringList got = captions(scan());
    got.sort();
    EXPECT_EQ(got, (QStringList{"Upper.URL", "a.url", even.left(18)}));

    EXPECT_EQ(FavoritesScanner::caption("mid.url-name.txt"), "mid-name.txt");
    // The 36th byte is the first half of a character.
    EXPECT_EQ(FavoritesScanner::caption("a" + even), "a" + even.left(17) + Replacement);
    // U+20000 takes four bytes: each cut inside it shows as one replacement character.
    const QString wide = QString::fromUcs4(U"\U00020000");
    for (int lead = 33; lead <= 35; ++lead) {
        EXPECT_EQ(FavoritesScanner::caption(QString(lead, u'x') + wide + "tail"),
                  QString(lead, u'x') + Replacement)
            << lead;
    }
    EXPECT_EQ(FavoritesScanner::caption(QString(32, u'x') + wide + "tail"),
              QString(32, u'x') + wide);
}

TEST_F(FavoritesScannerTest, HintIsTheShortcutAddressOrEmpty) {
    const QByteArray longUrl = "http://long.example/" + QByteArray(500, 'p');
    // The 400th byte is the first half of a character.
    const QByteArray cutUrl = "http://x/" + QByteArray(390, 'a') + codepage::fromUnicode("页页");
    const auto url = [](const QByteArray& address) {
        return "[InternetShortcut]\r\nURL=" + address + "\r\n";
    };
    const struct {
        const char* name;
        QByteArray bytes;
        QString hint;
    } cases[] = {
        {"case", "[internetshortcut]\r\nurl = http://case.example/ \r\n", "http://case.example/"},
        {"malformed", "URL=http://outside/\r\n[InternetShortcut\r\nURL http://x/\r\n", ""},
        {"empty", "", ""},
        {"other section", "[DEFAULT]\r\nURL=http://default/\r\n", ""},
        {"gb", url(codepage::fromUnicode(QStringLiteral("http://例子.example/页"))),
         QStringLiteral("http://例子.example/页")},
        {"long", url(longUrl), QString::fromLatin1(longUrl.left(400))},
        {"cut", url(cutUrl), QString::fromLatin1(cutUrl.left(399)) + Replacement},
    };
    for (const auto& c : cases)
        file(QString::fromUtf8(c.name) + ".url", c.bytes);
    const FavoriteFolder tree = scan();
    ASSERT_EQ(tree.links.size(), std::size(cases));
    for (const auto& c : cases) {
        ASSERT_NE(link(tree, c.name), nullptr) << c.name;
        EXPECT_EQ(link(tree, c.name)->url, c.hint) << c.name;
    }
}

// Names copied from Windows keep their GBK bytes, which are not valid UTF-8.
TEST_F(FavoritesScannerTest, CodePageNamesAreShownAndTheirFilesRead) {
    const auto raw = [&](const QByteArray& relative) {
        return QFile::encodeName(dir.path()) + '/' + relative;
    };
    const auto rawShortcut = [&](const QByteArray& relative, const QByteArray& url) {
        const int fd = ::open(raw(relative).constData(), O_WRONLY | O_CREAT | O_EXCL, 0644);
        ASSERT_GE(fd, 0) << relative.toStdString();
        const QByteArray bytes = "[InternetShortcut]\r\nURL=" + url + "\r\n";
        EXPECT_EQ(::write(fd, bytes.constData(), size_t(bytes.size())), bytes.size());
        ::close(fd);
    };
    const QByteArray news = codepage::fromUnicode(QStringLiteral("新闻"));
    ASSERT_EQ(::mkdir(raw(news).constData(), 0755), 0);
    rawShortcut(news + '/' + codepage::fromUnicode(QStringLiteral("新浪.url")), "http://sina/");
    rawShortcut(codepage::fromUnicode(QStringLiteral("蓝色.url")), "http://blue/");
    rawShortcut("." + codepage::fromUnicode(QStringLiteral("隐藏.url")), "http://hidden/");
    rawShortcut(codepage::fromUnicode(QStringLiteral("只读.url")), "http://ro/");
    ASSERT_EQ(::chmod(raw(codepage::fromUnicode(QStringLiteral("只读.url"))).constData(), 0444), 0);
    shortcut("UTF-8 名字.url", "http://utf8/");

    const FavoriteFolder tree = scan();
    ASSERT_EQ(names(tree), QStringList{"新闻"});
    ASSERT_EQ(tree.folders[0].links.size(), 1u);
    EXPECT_EQ(tree.folders[0].links[0].caption, "新浪");
    EXPECT_EQ(tree.folders[0].links[0].url, "http://sina/");
    QStringList got = captions(tree);
    got.sort();
    EXPECT_EQ(got, (QStringList{"UTF-8 名字", "蓝色"}));
    EXPECT_EQ(link(tree, "蓝色")->url, "http://blue/");
    EXPECT_EQ(link(tree, "UTF-8 名字")->url, "http://utf8/");

    EXPECT_EQ(FavoritesScanner::displayName("plain"), "plain");
    EXPECT_EQ(FavoritesScanner::displayName(QStringLiteral("名字").toUtf8()), "名字");
    EXPECT_EQ(FavoritesScanner::displayName(codepage::fromUnicode(QStringLiteral("名字"))), "名字");
}

// The quick reader must give what the profile file reader gives.
TEST(InternetShortcutTest, ReadsAddressesAsTheProfileFileDoes) {
    QTemporaryDir dir;
    const QList<QByteArray> contents = {
        "[InternetShortcut]\r\nURL=http://plain/\r\n",
        "\xEF\xBB\xBF[InternetShortcut]\nURL=http://bom/",
        "[ InternetShortcut ]\r\n  URL  =  http://spaces/  \r\n",
        "[INTERNETSHORTCUT]\r\nUrl=http://case/\r\n",
        "[InternetShortcut]\r\nURL=http://first/\r\nURL=http://second/\r\n",
        "[InternetShortcut]\r\nURL=\r\n",
        "[InternetShortcut]\r\n;URL=http://comment/\r\n#URL=x\r\n",
        "[InternetShortcut]\r\nURL=a\r\n[Other]\r\n[InternetShortcut]\r\nURL=b\r\n",
        "[InternetShortcut]\r\nIconIndex=0\r\n[X]\r\nURL=http://other/\r\n",
        "[InternetShortcut]\rURL=http://cr-only/\r",
        QByteArray("[InternetShortcut]\r\nURL=http://nul\0after/\r\n", 40),
        QByteArray("[InternetShortcut]\r\n\0URL=http://after-nul/\r\n", 43),
        "[InternetShortcut]\r\nURL=\"http://quoted/\"\r\n",
        "[InternetShortcut]\r\nURL=<<<END\r\nhttp://multi/\r\nEND\r\n",
        "[InternetShortcut]\r\n=novalue\r\nURL\r\n",
        "URL=http://no-section/\r\n",
        "binary\x01\x02\xff\xfe",
    };
    int n = 0;
    for (const QByteArray& bytes : contents) {
        const QString path = dir.filePath(QString::number(n++) + ".url");
        test::writeFile(path, bytes);
        EXPECT_EQ(readShortcutUrl(path),
                  ProfileFile(path).readString("InternetShortcut", "URL", QByteArray()))
            << bytes.toStdString();
    }
    EXPECT_EQ(readShortcutUrl(dir.filePath("missing.url")), QByteArray());
}

TEST(InternetShortcutTest, WritesANewReadableShortcutWithoutReplacingOne) {
    QTemporaryDir dir;
    const QString folder = dir.filePath("Favorites");
    const QString url = QStringLiteral("http://127.0.0.1/页面?a=1");
    const QString first = writeShortcut(folder, QStringLiteral("新闻 首页"), url);
    EXPECT_EQ(first, folder + QStringLiteral("/新闻 首页.url"));
    EXPECT_EQ(test::readFile(first),
              "[InternetShortcut]\r\nURL=" + codepage::fromUnicode(url) + "\r\n");
    EXPECT_EQ(codepage::toUnicode(readShortcutUrl(first)), url);

    const QString second = writeShortcut(folder, QStringLiteral("新闻 首页"), "http://other/");
    const QString third = writeShortcut(folder, QStringLiteral("新闻 首页"), "http://third/");
    EXPECT_EQ(second, folder + QStringLiteral("/新闻 首页 (2).url"));
    EXPECT_EQ(third, folder + QStringLiteral("/新闻 首页 (3).url"));
    EXPECT_EQ(readShortcutUrl(first), codepage::fromUnicode(url));
    EXPECT_EQ(readShortcutUrl(second), "http://other/");

    // A line break in the address cannot add a line of its own.
    EXPECT_EQ(
        test::readFile(writeShortcut(folder, "evil", "http://x/\r\n[Other]\r\nURL=y")).count('\n'),
        2);
}

TEST(InternetShortcutTest, FileNamesAreMadeSafe) {
    EXPECT_EQ(shortcutBaseName("a/b"), "a_b");
    EXPECT_EQ(shortcutBaseName(QString("nul") + QChar(0) + "x"), "nul_x");
    EXPECT_EQ(shortcutBaseName("line\nbreak"), "line_break");
    EXPECT_EQ(shortcutBaseName("  .hidden  "), "_hidden");
    EXPECT_EQ(shortcutBaseName(".."), "_.");
    EXPECT_EQ(shortcutBaseName("   "), "");
    const QString longName = shortcutBaseName(QString(200, QChar(0x4E2D)));
    EXPECT_LE(QFile::encodeName(longName + " (99999).url").size(), 255);
    EXPECT_FALSE(longName.isEmpty());

    QTemporaryDir dir;
    const QString written = writeShortcut(dir.path(), "../../escape", "http://x/");
    EXPECT_EQ(QFileInfo(written).absolutePath(), QFileInfo(dir.path()).absoluteFilePath());
    EXPECT_THROW(writeShortcut(dir.path(), " \t ", "http://x/"), Error);

    // Qt reads a name starting with ':' as a resource path; a page title may well start so.
    for (const QString& title : {QStringLiteral(":) 笑话"), QStringLiteral(":/startup/2052.ini")}) {
        const QString path = writeShortcut(dir.path(), title, "http://colon/");
        EXPECT_EQ(path, dir.path() + '/' + shortcutBaseName(title) + ".url");
        EXPECT_EQ(readShortcutUrl(path), "http://colon/");
    }
}

} // namespace
