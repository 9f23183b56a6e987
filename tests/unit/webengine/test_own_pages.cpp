#include "webengine/OwnPages.h"

#include <gtest/gtest.h>

namespace koro {
namespace {

TEST(OwnPagesRelay, OnlyWebAddressesAreRelayedWithPathAndQuery) {
    const struct {
        const char* relay;
        const char* target; // empty: refused
    } cases[] = {
        {"koro://tv/relay/http/127.0.0.1:8000/live/index.m3u8?token=a%2Fb&x=1",
         "http://127.0.0.1:8000/live/index.m3u8?token=a%2Fb&x=1"},
        {"koro://tv/relay/HTTPS/cdn.example/seg%201.ts", "https://cdn.example/seg%201.ts"},
        {"koro://tv/relay/http/host", "http://host/"},
        {"koro://tv/relay/file/etc/passwd", ""},
        {"koro://tv/relay/javascript/alert(1)", ""},
        {"koro://tv/relay/http//nohost/x", ""},
        {"koro://tv/channels.html", ""},
        {"http://tv/relay/http/host/x", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(OwnPages::relayTarget(QUrl(QString::fromLatin1(c.relay))),
                  QUrl(QString::fromLatin1(c.target)))
            << c.relay;
}

} // namespace
} // namespace koro
