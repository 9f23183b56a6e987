#include "schedule/AdFeed.h"

#include <gtest/gtest.h>

namespace koro {
namespace {

using Lines = QList<QByteArray>;

TEST(FeedLines, EveryLineEndSplitsNothingIsTrimmedAndNulEndsTheText) {
    const struct {
        QByteArray text;
        Lines lines;
    } cases[] = {
        {"a\r\nb\nc\rd", {"a", "b", "c", "d"}},
        // A CR LF is one end, but LF CR is two, with an empty line between.
        {"a\n\rb", {"a", "", "b"}},
        {" a \t\r\n\r\n b", {" a \t", "", " b"}},
        // A terminator after the last line adds no empty line; a missing one loses nothing.
        {"a\r\n", {"a"}},
        {"a\r", {"a"}},
        {"a\r\n\r\n", {"a", ""}},
        {"", {}},
        {QByteArray("one\r\ntw\0o\r\nthree", 17), {"one", "tw"}},
        {QByteArray("\0a\nb", 4), {}},
        // Bytes of the code page stay as they are.
        {QByteArray("\xb9\xe3\xb8\xe6\r\nhttp://x/\xc4\xe3", 17),
         {"\xb9\xe3\xb8\xe6", "http://x/\xc4\xe3"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(splitFeedLines(c.text), c.lines) << c.text.toStdString();
}

std::vector<std::string> shown(AdRotation& rotation, int ticks) {
    std::vector<std::string> out;
    for (int i = 0; i < ticks; ++i) {
        const auto ad = rotation.next();
        out.push_back(ad ? (ad->text + "|" + ad->link).toStdString() : "-");
    }
    return out;
}

TEST(AdRotation, PairsInFileOrderWrapAndNeedTwoLines) {
    using Shown = std::vector<std::string>;
    const struct {
        Lines lines;
        Shown shown;
    } cases[] = {
        {{"t1", "http://l1/", "t2", "http://l2/", "t3", "http://l3/"},
         {"t1|http://l1/", "t2|http://l2/", "t3|http://l3/", "t1|http://l1/", "t2|http://l2/"}},
        // An odd last line is never shown.
        {{"t1", "http://l1/", "t2", "http://l2/", "orphan"},
         {"t1|http://l1/", "t2|http://l2/", "t1|http://l1/"}},
        // Empty lines are ads too.
        {{"", "http://l1/", "t2", ""}, {"|http://l1/", "t2|", "|http://l1/"}},
        {{}, {"-", "-"}},
        {{"only"}, {"-", "-"}},
        {{"a", "https://b/"}, {"a|https://b/", "a|https://b/"}},
    };
    for (const auto& c : cases) {
        AdRotation rotation;
        if (!c.lines.isEmpty())
            rotation.setLines(c.lines);
        EXPECT_EQ(shown(rotation, int(c.shown.size())), c.shown) << c.lines.join('/').toStdString();
    }
    // New lines replace the old ones.
    AdRotation rotation;
    rotation.setLines({"only"});
    rotation.setLines({"a", "https://b/"});
    EXPECT_EQ(shown(rotation, 1), Shown{"a|https://b/"});
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
