#include "tv/Playlist.h"
#include "tv/PlaylistHandover.h"

#include <gtest/gtest.h>

namespace koro::tv {
namespace {

TEST(Playlist, ExtendedEntriesKeepTheirAttributesInOrder) {
    const Playlist p =
        readPlaylist("\xEF\xBB\xBF#EXTM3U x-tvg-url=\"http://g/a.xml.gz,http://g/b.xml\"\r\n"
                     "#EXTINF:-1 tvg-id=\"cctv1\" tvg-name=\"CCTV-1\" "
                     "tvg-logo=\"https://l/1.png\" group-title=\"央视, 高清\",CCTV-1 综合\r\n"
                     "#EXTVLCOPT:http-user-agent=x\r\n"
                     "http://s/1.m3u8\r"
                     "#EXTINF:0,Second, with comma\n"
                     "#EXTGRP:地方\n"
                     "HTTPS://s/2.mp4\n"
                     "http://s/bare.m3u8\n");
    EXPECT_EQ(p.guideUrl, "http://g/a.xml.gz");
    ASSERT_EQ(p.entries.size(), 3);
    const PlaylistEntry& a = p.entries[0];
    EXPECT_EQ(a.name, QStringLiteral("CCTV-1 综合"));
    EXPECT_EQ(a.tvgId, "cctv1");
    EXPECT_EQ(a.tvgName, "CCTV-1");
    EXPECT_EQ(a.logo, "https://l/1.png");
    EXPECT_EQ(a.group, QStringLiteral("央视, 高清"));
    EXPECT_TRUE(a.playable);
    EXPECT_EQ(p.entries[1].name, "Second, with comma");
    EXPECT_EQ(p.entries[1].group, QStringLiteral("地方"));
    EXPECT_TRUE(p.entries[1].playable);
    // An address without #EXTINF is named after itself and takes no earlier entry's details.
    EXPECT_EQ(p.entries[2].name, "http://s/bare.m3u8");
    EXPECT_TRUE(p.entries[2].group.isEmpty());
}

TEST(Playlist, OnlyWebAddressesArePlayableAndLogosOnlyFromTheWeb) {
    const Playlist p = readPlaylist("#EXTM3U url-tvg=guide.xml\n"
                                    "#EXTINF:-1 tvg-logo=\"file:///etc/passwd\",<b>x</b>\n"
                                    "javascript:alert(1)\n"
                                    "#EXTINF:-1 tvg-logo=\"javascript:alert(2)\",f\n"
                                    "file:///dev/zero\n"
                                    "rtmp://s/live\n"
                                    "/home/u/video.mp4\n"
                                    "http:///nohost\n"
                                    "http://ok/\n");
    EXPECT_EQ(p.guideUrl, "guide.xml");
    ASSERT_EQ(p.entries.size(), 6);
    for (qsizetype i = 0; i < 5; ++i) {
        EXPECT_FALSE(p.entries[i].playable) << p.entries[i].url.toStdString();
        EXPECT_TRUE(p.entries[i].logo.isEmpty());
    }
    EXPECT_TRUE(p.entries[5].playable);
    EXPECT_EQ(p.entries[0].name, "<b>x</b>"); // text stays text; the page never reads it as markup
    EXPECT_EQ(channelIndex(p, "http://ok/"), 5);
    EXPECT_EQ(channelIndex(p, "javascript:alert(1)"), -1);
}

TEST(Playlist, CodePageAndGarbage) {
    // GBK text from older tools reads as Chinese.
    const Playlist gbk = readPlaylist("#EXTINF:-1,\xd6\xd0\xce\xc4\nhttp://s/1\n");
    ASSERT_EQ(gbk.entries.size(), 1);
    EXPECT_EQ(gbk.entries[0].name, QStringLiteral("中文"));
    // Two lists joined one after another: the second one's byte order mark is no address.
    const Playlist joined =
        readPlaylist("\xEF\xBB\xBFhttp://s/1\n\xEF\xBB\xBF#EXTM3U\n\xEF\xBB\xBFhttp://s/2\n");
    ASSERT_EQ(joined.entries.size(), 2);
    EXPECT_TRUE(joined.entries[1].playable);
    EXPECT_TRUE(readPlaylist("").entries.isEmpty());
    EXPECT_TRUE(readPlaylist("#EXTM3U\n#EXTINF:-1,only a description\n").entries.isEmpty());
    const Playlist broken = readPlaylist("#EXTINF:-1 tvg-id=\"unclosed,Name\nhttp://s/x\n");
    ASSERT_EQ(broken.entries.size(), 1);
    EXPECT_TRUE(broken.entries[0].tvgId.isEmpty());
}

TEST(Playlist, AttributesAreWholeKeys) {
    const QString line = "#EXTINF:-1 x-tvg-id=\"no\" tvg-id=yes tvg-name='single q',N";
    EXPECT_EQ(extinfAttribute(line, "tvg-id"), "yes");
    EXPECT_EQ(extinfAttribute(line, "tvg-name"), "single q");
    EXPECT_TRUE(extinfAttribute(line, "group-title").isEmpty());
}

TEST(PlaylistArgument, TheLastNonOptionMadeAbsolute) {
    const struct {
        QStringList args;
        std::optional<QString> expected;
    } cases[] = {
        {{"koro"}, std::nullopt},
        {{"koro", "--no-sandbox"}, std::nullopt},
        {{"koro", "list.m3u"}, "/home/u/list.m3u"},
        {{"koro", "../x/list.m3u", "-v"}, "/home/x/list.m3u"},
        {{"koro", "/abs/l.m3u8"}, "/abs/l.m3u8"},
        {{"koro", "file:///abs/l%20x.m3u"}, "/abs/l x.m3u"},
        {{"koro", "https://h/l.m3u8?a=1"}, "https://h/l.m3u8?a=1"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(playlistArgument(c.args, "/home/u"), c.expected)
            << c.args.join(' ').toStdString();
}

} // namespace
} // namespace koro::tv
