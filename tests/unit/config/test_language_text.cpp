#include "config/Language.h"
#include "config/LanguageFile.h"
#include "config/Skins.h"

#include <gtest/gtest.h>

namespace {

using koro::TLanguageFile;

TEST(LanguageItemSplitting, BarsBlanksAndQuotesSeparateItems) {
    const struct {
        const char* text;
        QStringList items;
    } cases[] = {
        {"Baidu|Google|TaoBao", {"Baidu", "Google", "TaoBao"}},
        {"new window|same", {"new", "window", "same"}},
        {"  a |\tb", {"a", "b"}},
        {"a||b", {"a", "", "b"}},
        {"", {}},
        {"   ", {}},
        {"新窗口|本窗口", {"新窗口", "本窗口"}},
        // Quoted items keep blanks and doubled quotes.
        {"\"new window\"|same", {"new window", "same"}},
        {"\"say \"\"hi\"\"\"|x", {"say \"hi\"", "x"}},
        {"\"\"|x", {"", "x"}},
        // A quote inside an unquoted item is an ordinary character.
        {"a\"b|c", {"a\"b", "c"}},
        // An unterminated quote runs to the end of the text.
        {"x|\"open end", {"x", "open end"}},
        // Only a bar at the very end adds an empty item.
        {"a|", {"a", ""}},
        {"a| ", {"a"}},
        {"|", {"", ""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TLanguageFile::splitDelimited(QString::fromUtf8(c.text)), c.items) << c.text;
}

TEST(LanguagePaths, PrimaryAndSecondaryLocations) {
    const koro::LanguagePaths paths{QStringLiteral("/opt/koro"), QStringLiteral("koro"), 2052};
    EXPECT_EQ(koro::primaryLanguageFile(paths, 2052),
              QStringLiteral("/opt/koro/Language/2052.ini"));
    EXPECT_EQ(koro::secondaryLanguageFile(paths),
              QStringLiteral("/opt/koro/koro_language/2052.ini"));
}

TEST(LanguagePaths, SystemLanguageIds) {
    const std::pair<const char*, int> ids[] = {{"zh_CN", 2052}, {"zh_TW", 1028}, {"zh_HK", 3076},
                                               {"en_GB", 2057}, {"pt_BR", 1046}, {"de_AT", 1031},
                                               {"ja_JP", 1041}, {"sv_SE", 1033}, {"C", 1033}};
    for (const auto& [locale, id] : ids)
        EXPECT_EQ(koro::windowsLanguageId(QLocale(QString::fromLatin1(locale))), id) << locale;
}

TEST(SkinCaption, RemovesEveryLowerCaseSuffix) {
    EXPECT_EQ(koro::skinCaption(QStringLiteral("Blue.skn")), QStringLiteral("Blue"));
    EXPECT_EQ(koro::skinCaption(QStringLiteral("Dark.SKN")), QStringLiteral("Dark.SKN"));
    EXPECT_EQ(koro::skinCaption(QStringLiteral("a.skn.b.skn")), QStringLiteral("a.b"));
    EXPECT_EQ(koro::skinCaption(QStringLiteral("Old.Skn")), QStringLiteral("Old.Skn"));
}

} // namespace
