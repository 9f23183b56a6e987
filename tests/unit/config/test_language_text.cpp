#include "config/Language.h"
#include "config/LanguageFile.h"
#include "config/Skins.h"

#include <gtest/gtest.h>

namespace {

using koro::TLanguageFile;

QStringList split(const char* text) {
    return TLanguageFile::splitDelimited(QString::fromUtf8(text));
}

TEST(LanguageItemSplitting, BarsAndBlanksSeparateItems) {
    EXPECT_EQ(split("Baidu|Google|TaoBao"), (QStringList{"Baidu", "Google", "TaoBao"}));
    EXPECT_EQ(split("new window|same"), (QStringList{"new", "window", "same"}));
    EXPECT_EQ(split("  a |\tb"), (QStringList{"a", "b"}));
    EXPECT_EQ(split("a||b"), (QStringList{"a", "", "b"}));
    EXPECT_EQ(split(""), QStringList{});
    EXPECT_EQ(split("   "), QStringList{});
    EXPECT_EQ(split("新窗口|本窗口"), (QStringList{"新窗口", "本窗口"}));
}

TEST(LanguageItemSplitting, QuotedItemsKeepBlanksAndDoubledQuotes) {
    EXPECT_EQ(split("\"new window\"|same"), (QStringList{"new window", "same"}));
    EXPECT_EQ(split("\"say \"\"hi\"\"\"|x"), (QStringList{"say \"hi\"", "x"}));
    EXPECT_EQ(split("\"\"|x"), (QStringList{"", "x"}));
    // A quote inside an unquoted item is an ordinary character.
    EXPECT_EQ(split("a\"b|c"), (QStringList{"a\"b", "c"}));
    // An unterminated quote runs to the end of the text.
    EXPECT_EQ(split("x|\"open end"), (QStringList{"x", "open end"}));
}

TEST(LanguageItemSplitting, OnlyABarAtTheVeryEndAddsAnEmptyItem) {
    EXPECT_EQ(split("a|"), (QStringList{"a", ""}));
    EXPECT_EQ(split("a| "), (QStringList{"a"}));
    EXPECT_EQ(split("|"), (QStringList{"", ""}));
}

TEST(LanguagePaths, PrimaryAndSecondaryLocations) {
    const koro::LanguagePaths paths{QStringLiteral("/opt/koro"), QStringLiteral("koro"), 2052};
    EXPECT_EQ(koro::primaryLanguageFile(paths, 2052),
              QStringLiteral("/opt/koro/Language/2052.ini"));
    EXPECT_EQ(koro::secondaryLanguageFile(paths),
              QStringLiteral("/opt/koro/koro_language/2052.ini"));
}

TEST(LanguagePaths, SystemLanguageIds) {
    EXPECT_EQ(koro::windowsLanguageId(QLocale(QStringLiteral("zh_CN"))), 2052);
    EXPECT_EQ(koro::windowsLanguageId(QLocale(QStringLiteral("zh_TW"))), 1028);
    EXPECT_EQ(koro::windowsLanguageId(QLocale(QStringLiteral("zh_HK"))), 3076);
    EXPECT_EQ(koro::windowsLanguageId(QLocale(QStringLiteral("en_GB"))), 2057);
    EXPECT_EQ(koro::windowsLanguageId(QLocale(QStringLiteral("pt_BR"))), 1046);
    EXPECT_EQ(koro::windowsLanguageId(QLocale(QStringLiteral("de_AT"))), 1031);
    EXPECT_EQ(koro::windowsLanguageId(QLocale(QStringLiteral("ja_JP"))), 1041);
    EXPECT_EQ(koro::windowsLanguageId(QLocale(QStringLiteral("sv_SE"))), 1033);
    EXPECT_EQ(koro::windowsLanguageId(QLocale::c()), 1033);
}

TEST(SkinCaption, RemovesEveryLowerCaseSuffix) {
    EXPECT_EQ(koro::skinCaption(QStringLiteral("Blue.skn")), QStringLiteral("Blue"));
    EXPECT_EQ(koro::skinCaption(QStringLiteral("Dark.SKN")), QStringLiteral("Dark.SKN"));
    EXPECT_EQ(koro::skinCaption(QStringLiteral("a.skn.b.skn")), QStringLiteral("a.b"));
    EXPECT_EQ(koro::skinCaption(QStringLiteral("Old.Skn")), QStringLiteral("Old.Skn"));
}

TEST(ApplySkin, BlankNamesDoNothing) {
    QByteArray pifu = "Blue.skn";
    EXPECT_FALSE(koro::applySkin("", pifu, QStringLiteral("/nonexistent")));
    EXPECT_FALSE(koro::applySkin(" \t\r\n\x01", pifu, QStringLiteral("/nonexistent")));
    EXPECT_EQ(pifu, "Blue.skn");
}

TEST(ApplySkin, AMissingFileStillBecomesTheRememberedName) {
    QByteArray pifu = "Blue.skn";
    EXPECT_FALSE(koro::applySkin(" Gone.skn", pifu, QStringLiteral("/nonexistent")));
    EXPECT_EQ(pifu, " Gone.skn");
}

} // namespace
