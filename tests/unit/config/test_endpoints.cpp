#include "config/Endpoints.h"

#include <QUrl>
#include <gtest/gtest.h>

namespace {

// The harness relies on every address of the local table living on the test server.
TEST(Endpoints, LocalTableStaysOnTheLocalServer) {
    const auto e = koro::Endpoints::local("http://127.0.0.1:8123");
    const QStringList fixed = {e.telecomHome,  e.netcomHome, e.adFeed,    e.baiduSearch,
                               e.taobaoSearch, e.makerHome,  e.makerAbout};
    for (const QString& address : fixed)
        EXPECT_EQ(QUrl(address).host(), "127.0.0.1") << address.toStdString();
    for (auto it = e.sites.cbegin(); it != e.sites.cend(); ++it)
        EXPECT_EQ(QUrl(it.value()).host(), "127.0.0.1") << it.key().toStdString();
    EXPECT_NE(e.telecomHome, e.netcomHome);
    EXPECT_TRUE(e.telecomHome.endsWith("/v1000"));
    EXPECT_TRUE(e.netcomHome.endsWith("/v1000"));
    EXPECT_TRUE(e.adFeed.endsWith("/ad.txt"));
}

TEST(Endpoints, ProductionLinesShareThePortalPath) {
    const auto e = koro::Endpoints::production();
    EXPECT_NE(QUrl(e.telecomHome).host(), QUrl(e.netcomHome).host());
    EXPECT_EQ(QUrl(e.telecomHome).path(), "/v1000");
    EXPECT_EQ(QUrl(e.netcomHome).path(), "/v1000");
    EXPECT_EQ(QUrl(e.makerAbout).path(), "/about");
    EXPECT_EQ(QUrl(e.makerAbout).host(), QUrl(e.makerHome).host());
}

} // namespace
