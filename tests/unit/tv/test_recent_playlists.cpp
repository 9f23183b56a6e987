#include "tv/RecentPlaylists.h"

#include "support/Files.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace koro::tv {
namespace {

QStringList sources(const RecentPlaylists& recent) {
    QStringList out;
    for (const RecentPlaylists::Item& item : recent.items())
        out << item.source;
    return out;
}

TEST(RecentPlaylists, NewestFirstBoundedAndKeptAcrossRuns) {
    QTemporaryDir dir;
    const QString path = dir.filePath("tv/playlists.json");
    {
        RecentPlaylists recent(path);
        for (int i = 0; i < RecentPlaylists::MaxItems + 2; ++i)
            recent.opened(QString("/p/%1.m3u").arg(i));
        recent.opened("/p/5.m3u"); // again: to the front, keeping what it had
        recent.setLastChannel("/p/5.m3u", "http://s/ch2");
        recent.setGuide("/p/5.m3u", "http://g/guide.xml.gz");
        recent.remove("/p/11.m3u");
    }
    RecentPlaylists again(path);
    const QStringList list = sources(again);
    ASSERT_EQ(list.size(), RecentPlaylists::MaxItems - 1);
    EXPECT_EQ(list.first(), "/p/5.m3u");
    EXPECT_FALSE(list.contains("/p/11.m3u"));
    EXPECT_FALSE(list.contains("/p/0.m3u")); // pushed out
    EXPECT_EQ(again.find("/p/5.m3u")->lastChannel, "http://s/ch2");
    EXPECT_EQ(again.find("/p/5.m3u")->guide, "http://g/guide.xml.gz");
}

TEST(RecentPlaylists, ABrokenFileIsAnEmptyList) {
    QTemporaryDir dir;
    const QString path = dir.filePath("playlists.json");
    const QByteArray items = R"([{"source": 5}, "x", {"source":"/ok.m3u"}, {"source":"/ok.m3u"})";
    test::writeFile(path, items);
    EXPECT_TRUE(RecentPlaylists(path).items().isEmpty());
    test::writeFile(path, items + "]");
    EXPECT_EQ(sources(RecentPlaylists(path)), QStringList{"/ok.m3u"});
}

} // namespace
} // namespace koro::tv
