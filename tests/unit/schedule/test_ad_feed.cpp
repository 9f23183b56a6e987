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
    rotation.setLines({"t1", "http://l1/", "t2", "http://l2/", "t3", "http://l3/"});
    EXPECT_EQ(shown(rotation, 5),
              (std::vector<std::string>{"t1|http://l1/", "t2|http://l2/", "t3|http://l3/",
                                        "t1|http://l1/", "t2|http://l2/"}));
}

TEST(AdRotation, AnOddLastLineIsNeverShown) {
    AdRotation rotation;
    rotation.setLines({"t1", "http://l1/", "t2", "http://l2/", "orphan"});
    EXPECT_EQ(shown(rotation, 4), (std::vector<std::string>{"t1|http://l1/", "t2|http://l2/",
                                                            "t1|http://l1/", "t2|http://l2/"}));
}

TEST(AdRotation, EmptyLinesAreAdsToo) {
    AdRotation rotation;
    rotation.setLines({"", "http://l1/", "t2", ""});
    EXPECT_EQ(shown(rotation, 3), (std::vector<std::string>{"|http://l1/", "t2|", "|http://l1/"}));
}

TEST(AdRotation, FewerThanTwoLinesShowNothing) {
    AdRotation none;
    EXPECT_EQ(shown(none, 2), (std::vector<std::string>{"-", "-"}));
    AdRotation one;
    one.setLines({"only"});
    EXPECT_EQ(shown(one, 2), (std::vector<std::string>{"-", "-"}));
    one.setLines({"a", "https://b/"});
    EXPECT_EQ(shown(one, 2), (std::vector<std::string>{"a|https://b/", "a|https://b/"}));
}

TEST(AdRotation, OversizedTextIsCutAndUnsafeLinksAreDropped) {
    AdRotation rotation;
    const QByteArray longLink = "http://a.example/" + QByteArray(MaxAdLinkChars, 'x');
    rotation.setLines({QByteArray(100000, 'w'), "file:///etc/passwd?http://", "t", longLink});
    const auto first = rotation.next();
    ASSERT_TRUE(first);
    EXPECT_EQ(first->text, QString(MaxAdTextChars, u'w'));
    EXPECT_TRUE(first->link.isEmpty());
    EXPECT_TRUE(rotation.next()->link.isEmpty()) << "a link too long to be an address";
}

TEST(AdLinkRoute, OnlyHttpAndHttpsAddressesOpenAnything) {
    const struct {
        const char* link;
        AdLinkRoute route;
    } cases[] = {
        {"http://a.example/", AdLinkRoute::Popup},
        {"HTTP://A.EXAMPLE/", AdLinkRoute::Popup},
        {"hTTp://a.example:8080/p?q=1#f", AdLinkRoute::Popup},
        {"https://a.example/", AdLinkRoute::Shell},
        {"HTTPS://A.EXAMPLE/", AdLinkRoute::Shell},
        // Merely containing "http://" once opened local files and ran scripts.
        {"file:///etc/passwd?http://", AdLinkRoute::Ignore},
        {"javascript:alert(1)//http://", AdLinkRoute::Ignore},
        {"data:text/html,<script>x()</script>http://", AdLinkRoute::Ignore},
        {"see http://a.example/", AdLinkRoute::Ignore},
        {"http:///path-without-host", AdLinkRoute::Ignore},
        {"/bin/sh", AdLinkRoute::Ignore},
        {"C:\\Windows\\notepad.exe", AdLinkRoute::Ignore},
        {"ftp://a.example/", AdLinkRoute::Ignore},
        {"mailto:x@y", AdLinkRoute::Ignore},
        {"xhttps://a.example/", AdLinkRoute::Ignore},
        {" https://a.example/", AdLinkRoute::Ignore},
        {"", AdLinkRoute::Ignore},
        {"www.a.example", AdLinkRoute::Ignore},
    };
    for (const auto& c : cases)
        EXPECT_EQ(routeAdLink(QString::fromUtf8(c.link)), c.route) << c.link;
}

} // namespace
} // namespace koro
