#include "browse/AddressEntry.h"
#include "config/Endpoints.h"
#include "config/TextTrim.h"

#include <gtest/gtest.h>

namespace {

using koro::IsUrl;

TEST(AddressEntry, TrimRemovesBlanksAndControlCharactersAtBothEnds) {
    EXPECT_EQ(koro::trimBlanksAndControls(QString::fromLatin1(" \t\r\n\x01"
                                                              "abc def\x7f\x1f\x85 ")),
              "abc def");
    EXPECT_EQ(koro::trimBlanksAndControls(QStringLiteral("   ")), "");
    EXPECT_EQ(koro::trimBlanksAndControls(QString()), "");
    // A full-width blank is text, not padding.
    EXPECT_EQ(koro::trimBlanksAndControls(QStringLiteral("\u3000a\u3000")),
              QStringLiteral("\u3000a\u3000"));
}

TEST(AddressEntry, TextWithAWordCharacterFullStopWordCharacterIsAnAddress) {
    const char* addresses[] = {
        "abc.de",
        "   abc.de  ",
        "\tabc.de\r\n",
        "3.14",
        "please open the file report.txt",
        "my-site.example",
        "-.-",
        "_._",
        "a.b",
        "HTTP://WWW.EXAMPLE.COM/Path?x=1",
        "127.0.0.1:8080/typed",
    };
    for (const char* text : addresses)
        EXPECT_TRUE(IsUrl(QString::fromUtf8(text))) << text;
    EXPECT_TRUE(IsUrl(QStringLiteral("看看a.b吧")));
    EXPECT_TRUE(IsUrl(QStringLiteral("新闻 news.example 首页")));
}

TEST(AddressEntry, TextWithoutSuchAFullStopIsAKeyword) {
    const char* keywords[] = {
        "",     "   ",  "hello", "two words", ".",   "a.",  ".a",
        "a .b", "a. b", "a..",   "...",       "a/b", "a,b",
    };
    for (const char* text : keywords)
        EXPECT_FALSE(IsUrl(QString::fromUtf8(text))) << text;
    EXPECT_FALSE(IsUrl(QStringLiteral("新闻")));
    EXPECT_FALSE(IsUrl(QStringLiteral("中.文")));
    EXPECT_FALSE(IsUrl(QStringLiteral("中文。网址")));
    // Only ASCII letters and digits count: not accented or full-width letters, other digits,
    // nor a sign that lower-cases to an ASCII letter.
    EXPECT_FALSE(IsUrl(QStringLiteral("café.é")));
    EXPECT_FALSE(IsUrl(QStringLiteral("ａ.ｂ")));
    EXPECT_FALSE(IsUrl(QStringLiteral("\u0663.\u0661")));
    EXPECT_FALSE(IsUrl(QStringLiteral("\u212a.\u212a")));
}

TEST(SearchAddress, EachEngineCarriesTheKeywordPercentEncodedAsUtf8) {
    const koro::Endpoints local = koro::Endpoints::local("http://127.0.0.1:9");
    const koro::Endpoints production = koro::Endpoints::production();
    const QString keyword = QStringLiteral("a b&c#d+e 中文");
    const QString encoded = "a%20b%26c%23d%2Be%20%E4%B8%AD%E6%96%87";
    const struct {
        const koro::Endpoints& endpoints;
        const char* engine;
        QString keyword;
        QString address; // empty: no search
    } cases[] = {
        {local, "Baidu", keyword,
         "http://127.0.0.1:9/baidu/s?ie=utf-8&wd=" + encoded + "&tn=improve_pg"},
        {local, "TaoBao", keyword,
         "http://127.0.0.1:9/taobao/browse/search_auction.htm?q=" + encoded + "&ref=korotv"},
        {production, "Baidu", "tv", "http://www.baidu.com/s?ie=utf-8&wd=tv&tn=improve_pg"},
        {production, "TaoBao", "tv",
         "http://search.taobao.com/browse/search_auction.htm?q=tv&ref=korotv"},
        {production, "", keyword, ""},
        {production, "Google", keyword, ""},
        {production, "baidu", keyword, ""},
        {production, "TAOBAO", keyword, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(koro::searchAddress(c.endpoints, c.engine, c.keyword), c.address) << c.engine;
}

} // namespace
