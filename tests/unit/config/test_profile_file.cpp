#include "config/CodePage.h"
#include "config/Error.h"
#include "config/ProfileFile.h"
#include "config/ProfileText.h"
#include "support/ChangedMiddle.h"
#include "support/Child.h"
#include "support/Files.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <grp.h>
#include <optional>
#include <random>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

using koro::ProfileFile;
using Pairs = QList<QPair<QByteArray, QByteArray>>;

using koro::test::inChild;
using koro::test::readFile;
using koro::test::writeFile;

class ProfileFileTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.filePath(name); }

    // The message of the koro::Error that writeString throws, or "" when it does not throw.
    static std::string writeError(ProfileFile& file, const QByteArray& section,
                                  const QByteArray& key, const QByteArray& value) {
        try {
            file.writeString(section, key, value);
        } catch (const koro::Error& e) {
            return e.what();
        }
        return {};
    }

    QTemporaryDir dir;
};

// What readString gives for each key, with its default.
struct Read {
    const char* section;
    const char* key;
    const char* def;
    QByteArray expected;
};
void expectReads(const ProfileFile& ini, const std::vector<Read>& reads) {
    for (const Read& r : reads)
        EXPECT_EQ(ini.readString(r.section, r.key, r.def), r.expected) << r.section << '.' << r.key;
}

const QByteArray GbkSkin("\xC0\xB6\xC9\xAB.ini"); // "蓝色.ini"
const QByteArray GbkNote("\xB1\xB8\xD7\xA2");     // "备注"

TEST_F(ProfileFileTest, ReadsIgnoreCaseAndBlanksAndGiveTheDefaultOnlyForMissingKeys) {
    const struct {
        QByteArray file;
        std::vector<Read> reads;
    } cases[] = {
        {"[MainForm]\r\nFrontShow=yes\r\n[UserTV]\r\nSeeTime=8:30\r\nChannelUrl=http://a/\r\n",
         {{"mainform", "frontshow", "d", "yes"},
          {"MAINFORM", "FRONTSHOW", "d", "yes"},
          {"UserTv", "seetime", "d", "8:30"},
          {"UserTv", "Channelurl", "d", "http://a/"},
          {"MainForm", "FrontShowX", "d", "d"}}},
        // Present but empty is "", not the default.
        {"[UserTV]\r\nSeeTime=\r\nChannelName=   \t\r\n",
         {{"UserTV", "SeeTime", "24:0", ""},
          {"UserTV", "ChannelName", "none", ""},
          {"UserTV", "ChannelUrl", "none", "none"},
          {"UserPage", "SP", "home", "home"}}},
        {"  [ Main Form ]  \n \t pifu \t=  \t blue  skin.ini \t \nLF only=1\rCR only = 2 \n",
         {{"Main Form", "pifu", "d", "blue  skin.ini"},
          {"Main Form", "LF only", "d", "1"},
          {"Main Form", "CR only", "d", "2"}}},
    };
    for (const auto& c : cases) {
        writeFile(path("a.ini"), c.file);
        expectReads(ProfileFile(path("a.ini")), c.reads);
    }
    const ProfileFile ini(path("a.ini"));
    writeFile(path("a.ini"), cases[0].file);
    EXPECT_TRUE(ini.hasSection("usertv"));
    EXPECT_EQ(ini.readSection("USERTV").size(), 2);

    const ProfileFile missing(path("absent.ini"));
    EXPECT_EQ(missing.readString("UserPage", "SP", "home"), "home");
    EXPECT_FALSE(missing.hasSection("UserPage"));
    EXPECT_TRUE(missing.readSection("UserPage").isEmpty());
    EXPECT_FALSE(QFile::exists(path("absent.ini")));
}

TEST_F(ProfileFileTest, OnlyAsciiLettersFold) {
    // 0xC0 and 0xE0 differ like upper and lower case in Latin-1, but here they are GBK lead bytes.
    writeFile(path("a.ini"), "[S]\r\n\xC0\xB6=blue\r\n");
    ProfileFile ini(path("a.ini"));
    expectReads(ini, {{"s", "\xC0\xB6", "d", "blue"}, {"s", "\xE0\xB6", "d", "d"}});
    ini.writeString("S", "\xE0\xB6", "green");
    EXPECT_EQ(ini.readSection("S"), (Pairs{{"\xC0\xB6", "blue"}, {"\xE0\xB6", "green"}}));
}

TEST_F(ProfileFileTest, LongValuesAreCutAt2047BytesOnWholeCharacters) {
    const QByteArray ascii(3000, 'x');
    const QByteArray exact(ProfileFile::MaxValueBytes, 'y');
    QByteArray chinese; // 1500 times "中": 3000 bytes, a character straddles byte 2047
    for (int i = 0; i < 1500; ++i)
        chinese += "\xD6\xD0";
    writeFile(path("a.ini"), "[S]\r\nascii=" + ascii + "\r\nexact=" + exact +
                                 "\r\nchinese=" + chinese + "\r\nodd=a" + chinese + "\r\n");
    const ProfileFile ini(path("a.ini"));

    EXPECT_EQ(ini.readString("S", "ascii", "d"), ascii.left(2047));
    EXPECT_EQ(ini.readString("S", "exact", "d"), exact);
    EXPECT_EQ(ini.readString("S", "chinese", "d"), chinese.left(2046));
    EXPECT_EQ(ini.readString("S", "odd", "d"), "a" + chinese.left(2046));
    EXPECT_FALSE(koro::codepage::toUnicode(ini.readString("S", "chinese", "d"))
                     .contains(QChar(QChar::ReplacementCharacter)));
    const Pairs section = ini.readSection("S");
    ASSERT_EQ(section.size(), 4);
    EXPECT_EQ(section[0].second.size(), 2047);
}

TEST_F(ProfileFileTest, ReadSectionKeepsFileOrderAndSpelling) {
    writeFile(path("lang.ini"), ";texts\r\n[TForm1]\r\nzeta=Z\r\nAlpha = A \r\n;note\r\n"
                                "mid=\r\n[Empty]\r\n[Other]\r\nb=1\r\n");
    const ProfileFile ini(path("lang.ini"));
    EXPECT_EQ(ini.readSection("tform1"), (Pairs{{"zeta", "Z"}, {"Alpha", "A"}, {"mid", ""}}));
    EXPECT_EQ(ini.readSection("Other"), (Pairs{{"b", "1"}}));
    EXPECT_TRUE(ini.readSection("Empty").isEmpty());
    EXPECT_TRUE(ini.hasSection("EMPTY"));
    EXPECT_FALSE(ini.hasSection("texts"));
    EXPECT_TRUE(ini.readSection("Nope").isEmpty());
}

TEST_F(ProfileFileTest, EveryCallSeesTheFileAsItIsNow) {
    ProfileFile ini(path("user.ini"));
    writeFile(path("user.ini"), "[UserTv]\r\nChannelName=one\r\n");
    EXPECT_EQ(ini.readString("UserTv", "ChannelName", "d"), "one");
    writeFile(path("user.ini"), "[UserTv]\r\nChannelName=two\r\n");
    EXPECT_EQ(ini.readString("UserTv", "ChannelName", "d"), "two");

    // A write starts from the other program's edit, not from an earlier state.
    writeFile(path("user.ini"), "[UserTv]\r\nChannelName=three\r\nExtra=1\r\n");
    ini.writeString("UserTv", "SeeTime", "8:0");
    EXPECT_EQ(readFile(path("user.ini")),
              "[UserTv]\r\nChannelName=three\r\nExtra=1\r\nSeeTime=8:0\r\n");
}

TEST_F(ProfileFileTest, WritesChangeOnlyTheirKeyAndKeepEveryOtherByte) {
    struct Write {
        const char* section;
        QByteArray key;
        QByteArray value;
    };
    const QByteArray nul("\0", 1);
    const QByteArray odd("\x81\x30\x81\x30\xFE\xFE\x80", 7); // not decodable: bytes stay bytes
    const struct {
        const char* what;
        std::optional<QByteArray> before; // none: no file yet
        std::vector<Write> writes;
        QByteArray after;
        std::vector<Read> reads;
    } cases[] = {
        {"comments, unknown keys, order and spelling",
         ";Koro settings\r\n\r\n[MainForm]\r\nFrontShow=1\r\n;skin\r\npifu=old.ini\r\n"
         "Unknown=keep me\r\n[Other]\r\nb=2\r\na=1\r\n; last words " +
             GbkNote + "\r\n",
         {{"mainform", "frontshow", "0"},
          {"MainForm", "PIFU", GbkSkin},
          {"MAINFORM", "Minstart", "1"},
          {"other", "c", "3"},
          {"UserPage", "SP", "http://x/v1000"}},
         ";Koro settings\r\n\r\n[MainForm]\r\nFrontShow=0\r\n;skin\r\npifu=" + GbkSkin +
             "\r\nUnknown=keep me\r\nMinstart=1\r\n[Other]\r\nb=2\r\na=1\r\nc=3\r\n; last words " +
             GbkNote + "\r\n[UserPage]\r\nSP=http://x/v1000\r\n",
         {}},
        {"new lines end in CR LF, old lines keep their ends",
         "\xEF\xBB\xBF[S]\nk=1\n;c\rj=2\r\n[T]\nx=1",
         {{"S", "k", "9"}, {"S", "new", "n"}, {"T", "y", "2"}, {"U", "z", "3"}},
         "\xEF\xBB\xBF[S]\nk=9\n;c\rj=2\r\nnew=n\r\n[T]\nx=1\r\ny=2\r\n[U]\r\nz=3\r\n",
         {{"S", "j", "d", "2"}}},
        {"code page bytes",
         ";" + GbkNote + "\r\n\r\n[S]\r\nold=" + odd + "\r\n",
         {{"S", GbkNote, GbkSkin}},
         ";" + GbkNote + "\r\n\r\n[S]\r\nold=" + odd + "\r\n" + GbkNote + "=" + GbkSkin + "\r\n",
         {{"S", "old", "d", odd}}},
        {"the first write makes file and section",
         std::nullopt,
         {{"UserTv", "ChannelName", "CCTV"}, {"UserTV", "Channelurl", ""}, {"UserPage", "SP", "x"}},
         "[UserTv]\r\nChannelName=CCTV\r\nChannelurl=\r\n[UserPage]\r\nSP=x\r\n",
         {}},
        {"a file of comments only",
         ";one\r\n\r\n;two\r\n#three\r\n",
         {{"S", "k", "v"}},
         ";one\r\n\r\n;two\r\n#three\r\n[S]\r\nk=v\r\n",
         {}},
        {"a NUL in a comment",
         "[MainForm]\r\npifu=a\r\n;x" + nul + "y\r\n[UserTV]\r\nSeeTime=8:0\r\n",
         {{"MainForm", "pifu", "b"}},
         "[MainForm]\r\npifu=b\r\n;x" + nul + "y\r\n[UserTV]\r\nSeeTime=8:0\r\n",
         {{"UserTV", "SeeTime", "d", "8:0"}}},
        // A NUL in the leading comment used to hide every key after it from reading.
        {"a NUL in the leading comment and in a value",
         ";" + nul + "note\r\n[UserTv]\r\nSeeTime=9:0\r\n",
         {{"UserTv", "ChannelName", "a" + nul + "b"}},
         ";" + nul + "note\r\n[UserTv]\r\nSeeTime=9:0\r\nChannelName=a" + nul + "b\r\n",
         {{"UserTv", "SeeTime", "d", "9:0"}}},
        {"an open bracket without a close is neither section nor key",
         "[MainForm]\r\npifu=a\r\n[Broken\r\nFrontShow=1\r\n[x=2\r\n",
         {{"MainForm", "pifu", "a"}, {"MainForm", "Minstart", "1"}},
         "[MainForm]\r\npifu=a\r\n[Broken\r\nFrontShow=1\r\nMinstart=1\r\n[x=2\r\n",
         {{"MainForm", "FrontShow", "d", "1"},
          {"MainForm", "[x", "d", "d"},
          {"Broken", "FrontShow", "d", "d"}}},
        {"a lone open bracket",
         "[\r\n[UserTV]\r\nSeeTime=8:0\r\n",
         {{"UserTV", "x", "1"}},
         "[\r\n[UserTV]\r\nSeeTime=8:0\r\nx=1\r\n",
         {{"UserTV", "SeeTime", "d", "8:0"}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(path("a.ini"));
        if (c.before)
            writeFile(path("a.ini"), *c.before);
        ProfileFile ini(path("a.ini"));
        for (const Write& w : c.writes)
            ini.writeString(w.section, w.key, w.value);
        EXPECT_EQ(readFile(path("a.ini")), c.after);
        for (const Write& w : c.writes)
            EXPECT_EQ(ini.readString(w.section, w.key, "d"), w.value) << w.key.toStdString();
        expectReads(ini, c.reads);
        // Writing a value again changes nothing: no blank lines pile up, no comment moves.
        ini.writeString(c.writes[0].section, c.writes[0].key, c.writes[0].value);
        EXPECT_EQ(readFile(path("a.ini")), c.after);
    }
}

TEST_F(ProfileFileTest, LineBreaksInAValueCannotForgeEntries) {
    ProfileFile ini(path("user.ini"));
    ini.writeString("UserTv", "ChannelName", "x\r\n[MainForm]\nUseHotKey=0\r");
    EXPECT_FALSE(ini.hasSection("MainForm"));
    EXPECT_EQ(ini.readString("UserTv", "ChannelName", "d"), "x  [MainForm] UseHotKey=0");
    EXPECT_EQ(ini.readSection("UserTv").size(), 1);
}

TEST_F(ProfileFileTest, LinesTheReaderSkipsAreKeptByteForByte) {
    const QByteArray before = "leading line\r\n"
                              "[S]\r\n"
                              ";first\r\n"
                              "k=1\r\n"
                              ";second\r\n"
                              " K = 2 \r\n"
                              ";comment\r\n"
                              "no equals\r\n"
                              "=no key\r\n"
                              "[]\r\n"
                              "\r\n"
                              "[]\r\n";
    writeFile(path("a.ini"), before);
    ProfileFile ini(path("a.ini"));
    EXPECT_EQ(ini.readString("S", "k", "d"), "1"); // the first of duplicate keys counts
    EXPECT_EQ(ini.readSection("S"), (Pairs{{"k", "1"}}));
    ini.writeString("S", "k", "9");
    ini.writeString("S", "k", "9"); // a second save must not drop the leading line either
    QByteArray after = before;
    after.replace("k=1", "k=9");
    EXPECT_EQ(readFile(path("a.ini")), after);
    ini.writeString("s", "new", "n");
    after.replace("K = 2 \r\n", "K = 2 \r\nnew=n\r\n");
    EXPECT_EQ(readFile(path("a.ini")), after);
}

TEST_F(ProfileFileTest, NamesThatCannotReadBackAreRefused) {
    const QByteArray before = "[S]\r\nk=1\r\n";
    writeFile(path("a.ini"), before);
    ProfileFile ini(path("a.ini"));
    const std::string error = "Unable to write to " + path("a.ini").toStdString();
    for (const QByteArray& key : {"", "  ", "a=b", ";k", "#k", "[k]", "k\r\n[T]", "k\nx"})
        EXPECT_EQ(writeError(ini, "S", key, "v"), error) << key.toStdString();
    for (const QByteArray& section : {"S]", "S\r\n[T"})
        EXPECT_EQ(writeError(ini, section, "k", "v"), error) << section.toStdString();
    EXPECT_EQ(readFile(path("a.ini")), before);

    // Blanks around names are dropped, as reading drops them.
    ini.writeString(" S ", "\tk ", "2");
    EXPECT_EQ(readFile(path("a.ini")), "[S]\r\nk=2\r\n");
}

// Files built from the lines that tripped the parser before: odd brackets, NULs, lone CRs,
// duplicates, keys before any section, a missing final line break.
QByteArray randomProfile(std::mt19937& random) {
    static const QByteArray lines[] = {"[S]",
                                       " [ s ] ",
                                       "[T]",
                                       "[]",
                                       "[",
                                       "[S",
                                       "[x=1",
                                       "k=1",
                                       " K = 2 ",
                                       "x=3",
                                       "K2=",
                                       "k",
                                       "=v",
                                       ";k=4",
                                       "#x=5",
                                       "",
                                       "  ",
                                       QByteArray("\0k=6", 4),
                                       QByteArray("x=\0", 3),
                                       "\xC0\xB6=7",
                                       "\xEF\xBB\xBF[T]",
                                       "a]=b",
                                       "k2 = [T]"};
    static const QByteArray ends[] = {"\r\n", "\n", "\r", "\r\n"};
    QByteArray bytes;
    const int count = std::uniform_int_distribution(0, 12)(random);
    for (int i = 0; i < count; ++i) {
        bytes += lines[std::uniform_int_distribution<size_t>(0, std::size(lines) - 1)(random)];
        if (i + 1 < count || random() % 3 != 0)
            bytes += ends[random() % std::size(ends)];
    }
    return bytes;
}

TEST(ProfileTextTest, AWriteChangesOnlyTheKeyItWrites) {
    const QByteArray sections[] = {"S", "t", "U", ""};
    const QByteArray keys[] = {"k", "K2", "x", "new", "\xC0\xB6"};
    const QByteArray values[] = {"v", " spaced ", "", QByteArray("a\0b", 3), "two\r\nlines"};
    std::mt19937 random(20261209);
    for (int round = 0; round < 3000; ++round) {
        const QByteArray before = randomProfile(random);
        koro::ProfileText text(before);
        const QByteArray section = sections[random() % std::size(sections)];
        const QByteArray key = keys[random() % std::size(keys)];
        const QByteArray value = values[random() % std::size(values)];
        const auto fail = [&] { return "round " + std::to_string(round); };
        ASSERT_TRUE(text.setValue(section, key, value)) << fail();
        const QByteArray& after = text.bytes();

        // Only part of one line is gone: the old text is the new one's head and tail.
        const auto [head, tail] = koro::test::commonEnds(before, after);
        const QByteArray removed = before.mid(head, before.size() - head - tail);
        ASSERT_FALSE(removed.contains('\n') || removed.contains('\r')) << fail();

        QByteArray expected = value;
        expected.replace("\r\n", "  ");
        ASSERT_EQ(text.value(section, key), expected.trimmed()) << fail();
        const koro::ProfileText old(before);
        for (const QByteArray& s : sections) {
            for (const QByteArray& k : keys) {
                if (s.toLower() != section.toLower() || k.toLower() != key.toLower())
                    ASSERT_EQ(text.value(s, k), old.value(s, k)) << fail();
            }
            if (s.toLower() != section.toLower())
                ASSERT_EQ(text.section(s), old.section(s)) << fail();
        }
    }
}

TEST_F(ProfileFileTest, UnwritablePathsThrowWithThePath) {
    // Each of these stops root as well as an ordinary user.
    const QString asFolder = path("Config.ini");
    ASSERT_TRUE(QDir().mkdir(asFolder));
    ProfileFile folder(asFolder);
    EXPECT_EQ(writeError(folder, "MainForm", "pifu", "a"),
              "Unable to write to " + asFolder.toStdString());
    EXPECT_TRUE(QFileInfo(asFolder).isDir());

    const QString underMissing = path("no such folder/user.ini");
    ProfileFile missing(underMissing);
    EXPECT_EQ(writeError(missing, "UserPage", "SP", "a"),
              "Unable to write to " + underMissing.toStdString());
    EXPECT_FALSE(QFile::exists(path("no such folder")));

    // A file without its owner's write bit is read-only for every user, root included.
    const QString readOnly = path("ro.ini");
    writeFile(readOnly, "[MainForm]\r\npifu=a\r\n");
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFile::ReadOwner | QFile::ReadGroup));
    ProfileFile ro(readOnly);
    EXPECT_EQ(writeError(ro, "MainForm", "pifu", "b"),
              "Unable to write to " + readOnly.toStdString());
    EXPECT_EQ(readFile(readOnly), "[MainForm]\r\npifu=a\r\n");
}

TEST_F(ProfileFileTest, ReadOnlyFolderThrowsForAnOrdinaryUser) {
    // Root ignores the folder's bits, so the child drops to an unprivileged user first.
    ASSERT_TRUE(QFile::setPermissions(dir.path(), QFile::ReadOwner | QFile::WriteOwner |
                                                      QFile::ExeOwner | QFile::ExeGroup |
                                                      QFile::ExeOther));
    const QString folder = path("ro");
    ASSERT_TRUE(QDir().mkdir(folder));
    const QString file = folder + "/Config.ini";
    writeFile(file, "[MainForm]\r\npifu=a\r\n");
    ASSERT_TRUE(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner |
                                                QFile::ReadOther | QFile::WriteOther));
    ASSERT_TRUE(QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner |
                                                  QFile::ReadOther | QFile::ExeOther));
    const int code = inChild([&] {
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(65534) != 0 || setuid(65534) != 0))
            return 3;
        ProfileFile ini(file);
        if (ini.readString("MainForm", "pifu", "d") != "a")
            return 4;
        return writeError(ini, "MainForm", "pifu", "b") ==
                       "Unable to write to " + file.toStdString()
                   ? 0
                   : 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(file), "[MainForm]\r\npifu=a\r\n");
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST_F(ProfileFileTest, FullDiskThrowsAndKeepsTheOldFile) {
    const QString file = path("Config.ini");
    const QByteArray old = "[MainForm]\r\npifu=a\r\n";
    writeFile(file, old);
    // A file-size limit makes the write fail the way a full disk does, also for root.
    const int code = inChild([&] {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64, 64};
        setrlimit(RLIMIT_FSIZE, &limit);
        ProfileFile ini(file);
        return writeError(ini, "MainForm", "pifu", QByteArray(100, 'b')) ==
                       "Unable to write to " + file.toStdString()
                   ? 0
                   : 1;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(readFile(file), old);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{"Config.ini"});
}

TEST_F(ProfileFileTest, KilledWriterLeavesOldOrNewFileNeverATornOne) {
    constexpr int ValueBytes = 300000;
    const QString file = path("Big.ini");
    const auto contentFor = [](char c) {
        return "[Big]\r\nv=" + QByteArray(ValueBytes, c) + "\r\n";
    };
    ProfileFile(file).writeString("Big", "v", QByteArray(ValueBytes, 'a'));

    for (int round = 0; round < 30; ++round) {
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            try {
                ProfileFile ini(file);
                for (int i = 0;; ++i)
                    ini.writeString("Big", "v", QByteArray(ValueBytes, char('a' + i % 26)));
            } catch (...) {
                _exit(1);
            }
        }
        usleep(500 + (round * 7919) % 20000); // spread the kills over the write cycle
        kill(pid, SIGKILL);
        waitpid(pid, nullptr, 0);

        const QByteArray bytes = readFile(file);
        ASSERT_EQ(bytes.size(), contentFor('a').size()) << "round " << round;
        const char c = bytes.at(9);
        ASSERT_TRUE(c >= 'a' && c <= 'z') << "round " << round;
        ASSERT_EQ(bytes, contentFor(c)) << "round " << round;
        ASSERT_EQ(ProfileFile(file).readString("Big", "v", "d"), QByteArray(2047, c));
        // A writer killed mid-write may leave its temporary file beside, never in place of, the
        // file.
        for (const QString& name : QDir(dir.path()).entryList(QDir::Files | QDir::Hidden)) {
            if (name != "Big.ini") {
                ASSERT_TRUE(name.startsWith("Big.ini.")) << name.toStdString();
                QFile::remove(path(name));
            }
        }
    }
}

} // namespace

namespace {

TEST_F(ProfileFileTest, APipeOrFolderInPlaceOfTheFileReadsAsMissing) {
    const QString fifo = path("Config.ini");
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkdir(path("user.ini")));
    for (const QString& name : {fifo, path("user.ini")}) {
        ProfileFile ini(name);
        // A pipe without a writer would block the reader for good.
        EXPECT_EQ(ini.readString("MainForm", "pifu", "default"), "default");
        EXPECT_TRUE(ini.readSection("MainForm").isEmpty());
    }
    ProfileFile(fifo).writeString("MainForm", "pifu", "a.skn");
    EXPECT_EQ(readFile(fifo), "[MainForm]\r\npifu=a.skn\r\n");
}

TEST_F(ProfileFileTest, SeveralKeysAreOneReplacementThatKeepsLinksAndPermissions) {
    const QString real = path("real.ini");
    writeFile(real, "; mine\r\n[S]\r\nb=old\r\n");
    ASSERT_TRUE(QFile::setPermissions(real, QFileDevice::ReadOwner | QFileDevice::WriteOwner));
    ASSERT_TRUE(QFile::link(real, path("linked.ini")));
    ProfileFile(path("linked.ini")).writeStrings("S", {{"a", "1"}, {"B", "2"}, {"c", "3"}});
    EXPECT_EQ(readFile(real), "; mine\r\n[S]\r\nb=2\r\na=1\r\nc=3\r\n");
    EXPECT_TRUE(QFileInfo(path("linked.ini")).isSymLink()) << "the link stays a link";
    EXPECT_EQ(QFile::permissions(real), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ReadUser | QFileDevice::WriteUser);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).size(), 2);
}

} // namespace
