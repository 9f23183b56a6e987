#include "schedule/AdFeed.h"

#include <gtest/gtest.h>

namespace koro {
namespace {

using Lines = QList<QByteArray>;

TEST(FeedLines, EveryLineEndSplitsAndNothingIsTrimmed) {
    EXPECT_EQ(splitFeedLines("a\r\nb\nc\rd"), (Lines{"a", "b", "c", "d"}));
    // A CR LF is one end, but LF CR is two, with an empty line between.
    EXPECT_EQ(splitFeedLines("a\n\rb"), (Lines{"a", "", "b"}));
    EXPECT_EQ(splitFeedLines(" a \t\r\n\r\n b"), (Lines{" a \t", "", " b"}));
    // A terminator after the last line adds no empty line; a missing one loses nothing.
    EXPECT_EQ(splitFeedLines("a\r\n"), (Lines{"a"}));
    EXPECT_EQ(splitFeedLines("a\r"), (Lines{"a"}));
    EXPECT_EQ(splitFeedLines("a\r\n\r\n"), (Lines{"a", ""}));
    EXPECT_TRUE(splitFeedLines("").isEmpty());
}

TEST(FeedLines, NulEndsTheText) {
    EXPECT_EQ(splitFeedLines(QByteArray("one\r\ntw\0o\r\nthree", 17)), (Lines{"one", "tw"}));
    EXPECT_TRUE(splitFeedLines(QByteArray("\0a\nb", 4)).isEmpty());
}

TEST(FeedLines, BytesOfTheCodePageStayAsTheyAre) {
    const QByteArray gbk("\xb9\xe3\xb8\xe6\r\nhttp://x/\xc4\xe3", 17);
    const Lines lines = splitFeedLines(gbk);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], QByteArray("\xb9\xe3\xb8\xe6"));
    EXPECT_EQ(lines[1], QByteArray("http://x/\xc4\xe3"));
}

std::vector<std::string> shown(AdRotation& rotation, int ticks) {
    std::vector<std::string> out;
    for (int i = 0; i < ticks; ++i) {
        const auto ad = rotation.next();
        out.push_back(ad ? (ad->text + "|" + ad->link).toStdString() : "-");
    }
    return out;
}

TEST(AdRotation, PairsInFileOrderThenWraps) {
    AdRotation rotation;
    rotation.setLines({"t1", "l1", "t2", "l2", "t3", "l3"});
    EXPECT_EQ(shown(rotation, 5),
              (std::vector<std::string>{"t1|l1", "t2|l2", "t3|l3", "t1|l1", "t2|l2"}));
}

TEST(AdRotation, AnOddLastLineIsNeverShown) {
    AdRotation rotation;
    rotation.setLines({"t1", "l1", "t2", "l2", "orphan"});
    EXPECT_EQ(shown(rotation, 4), (std::vector<std::string>{"t1|l1", "t2|l2", "t1|l1", "t2|l2"}));
}

TEST(AdRotation, EmptyLinesAreAdsToo) {
    AdRotation rotation;
    rotation.setLines({"", "l1", "t2", ""});
    EXPECT_EQ(shown(rotation, 3), (std::vector<std::string>{"|l1", "t2|", "|l1"}));
}

TEST(AdRotation, FewerThanTwoLinesShowNothing) {
    AdRotation none;
    EXPECT_EQ(shown(none, 2), (std::vector<std::string>{"-", "-"}));
    AdRotation one;
    one.setLines({"only"});
    EXPECT_EQ(shown(one, 2), (std::vector<std::string>{"-", "-"}));
    one.setLines({"a", "b"});
    EXPECT_EQ(shown(one, 2), (std::vector<std::string>{"a|b", "a|b"}));
}

TEST(AdLinkRoute, HttpAnywhereInAnyCaseOpensThePopup) {
    EXPECT_EQ(routeAdLink("http://a.example/"), AdLinkRoute::Popup);
    EXPECT_EQ(routeAdLink("HTTP://A.EXAMPLE/"), AdLinkRoute::Popup);
    EXPECT_EQ(routeAdLink("see Http://a.example/"), AdLinkRoute::Popup);
}

TEST(AdLinkRoute, HttpsGoesToTheDesktopAndNothingElseDoes) {
    EXPECT_EQ(routeAdLink("https://a.example/"), AdLinkRoute::Shell);
    EXPECT_EQ(routeAdLink("HTTPS://A.EXAMPLE/"), AdLinkRoute::Shell);
    for (const char* link : {"/bin/sh", "C:\\Windows\\notepad.exe", "file:///etc/passwd",
                             "ftp://a.example/", "javascript:alert(1)", "mailto:x@y",
                             "xhttps://a.example/", " https://a.example/", "", "www.a.example"})
        EXPECT_EQ(routeAdLink(link), AdLinkRoute::Ignore) << link;
}

} // namespace
} // namespace koro
