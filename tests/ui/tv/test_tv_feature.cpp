#include "tv/ChannelBridge.h"
#include "tv/Download.h"
#include "tv/GuideReminders.h"
#include "tv/GuideSource.h"
#include "tv/PlaylistHandover.h"
#include "tv/RecentPlaylists.h"
#include "tv/TvFeature.h"
#include "webengine/fake/FakeBrowserControl.h"

#include "support/FeedServer.h"
#include "support/Files.h"
#include "support/Wait.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QNetworkAccessManager>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <optional>

namespace koro::tv {
namespace {

using test::waitUntil;

QString xmltvTime(qint64 secs) {
    return QDateTime::fromSecsSinceEpoch(secs, Qt::UTC).toString("yyyyMMddHHmmss") + " +0000";
}

class Tv : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        pageArea = new FakeBrowserControl(BrowserRole::PageArea, &window);
        start();
    }
    void start() {
        feature.reset();
        TvHooks hooks;
        hooks.remind = [this](const QString& text, std::function<void()> watch) {
            reminded.append(text);
            watchReminded = std::move(watch);
        };
        hooks.toggleCompact = [this] { ++compactToggles; };
        hooks.notice = [this](const QString&, const QString& text) { notices.append(text); };
        hooks.clock = [this] { return now; };
        feature = std::make_unique<TvFeature>(*pageArea, menu, dir.filePath("tv"), hooks);
    }
    QString write(const QString& name, const QByteArray& bytes) {
        test::writeFile(dir.filePath(name), bytes);
        return dir.filePath(name);
    }
    // The page area now shows what the feature navigated to, as the engine would.
    void pageLoaded() {
        ASSERT_FALSE(pageArea->navigations.isEmpty());
        pageArea->setLocationURL(pageArea->navigations.last());
        pageArea->fireDocumentComplete(pageArea->navigations.last());
    }
    QAction* action(const char* name) { return menu.findChild<QAction*>(name); }
    QString playlistWithGuide() {
        const qint64 t = now.toSecsSinceEpoch();
        QByteArray guide = "<tv><channel id=\"one\"><display-name>One</display-name></channel>";
        for (qint64 start : {t - 600, t + 1200})
            guide += "<programme start=\"" + xmltvTime(start).toUtf8() + "\" stop=\"" +
                     xmltvTime(start + 1800).toUtf8() + "\" channel=\"one\"><title>Show " +
                     QByteArray::number(start - t) + "</title></programme>";
        write("guide.xml", guide + "</tv>");
        return write("list.m3u",
                     "#EXTM3U url-tvg=\"" + dir.filePath("guide.xml").toUtf8() +
                         "\"\n#EXTINF:-1 tvg-id=\"one\",One\nhttp://s/one.m3u8\n"
                         "#EXTINF:-1,<img src=x onerror=alert(1)>\njavascript:alert(1)\n"
                         "#EXTINF:-1,Two\nhttp://s/two.mp4\n");
    }

    QTemporaryDir dir;
    QWidget window;
    FakeBrowserControl* pageArea = nullptr;
    QMenu menu;
    QDateTime now{QDate(2026, 12, 9), QTime(19, 0)};
    QStringList reminded;
    std::function<void()> watchReminded;
    QStringList notices;
    int compactToggles = 0;
    std::unique_ptr<TvFeature> feature;
};

TEST_F(Tv, OpeningShowsTheOwnPageWhoseBridgeAnswersOnlyThere) {
    const QString list = playlistWithGuide();
    feature->open(list);
    ASSERT_EQ(pageArea->navigations, QStringList{TvFeature::ChannelPage.toString()});
    EXPECT_EQ(pageArea->ownPage(), TvFeature::ChannelPage);
    ASSERT_NE(pageArea->ownPageChannel, nullptr);
    ChannelBridge& bridge = feature->bridge();
    // Another page in the page area asks: it learns nothing and changes nothing.
    pageArea->setLocationURL("http://evil.example/page.html");
    EXPECT_TRUE(bridge.playlist().isEmpty());
    bridge.toggleCompact();
    EXPECT_EQ(compactToggles, 0);
    EXPECT_FALSE(bridge.remind(0, now.toSecsSinceEpoch() + 1200).isEmpty());

    pageLoaded();
    const QVariantMap playlist = bridge.playlist();
    const QVariantList channels = playlist.value("channels").toList();
    ASSERT_EQ(channels.size(), 3);
    EXPECT_EQ(playlist.value("start").toInt(), 0);
    EXPECT_EQ(channels[0].toMap().value("url").toString(), "http://s/one.m3u8");
    // The hostile entry is listed by its name, as text, with no address for the player.
    EXPECT_EQ(channels[1].toMap().value("name").toString(), "<img src=x onerror=alert(1)>");
    EXPECT_FALSE(channels[1].toMap().contains("url"));
    bridge.toggleCompact();
    EXPECT_EQ(compactToggles, 1);

    ASSERT_TRUE(waitUntil([&] { return !bridge.nowNext().isEmpty(); }));
    const QVariantMap first = bridge.nowNext().first().toMap();
    EXPECT_EQ(first.value("now").toMap().value("t").toString(), "Show -600");
    EXPECT_EQ(first.value("next").toMap().value("t").toString(), "Show 1200");
}

TEST_F(Tv, TheLastChannelComesBackAndTheMenuKeepsThePlaylist) {
    const QString list = playlistWithGuide();
    feature->open(list);
    pageLoaded();
    feature->bridge().watched(2);
    feature->bridge().watched(1); // unplayable: never remembered
    start();                      // the next run
    emit menu.aboutToShow();
    QAction* reopen = action("TvRecentOpen");
    ASSERT_NE(reopen, nullptr);
    reopen->trigger();
    EXPECT_EQ(feature->bridge().playlist().value("start").toInt(), 2);
    emit menu.aboutToShow();
    EXPECT_TRUE(action("TvGuide")->isEnabled());
    action("TvRecentRemove")->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(feature->recent().items().isEmpty());
    EXPECT_EQ(action("TvRecentOpen"), nullptr);
}

TEST_F(Tv, PlaylistsThatCannotOpenSayWhyAndLeaveThePageAlone) {
    for (const QString& source :
         {dir.filePath("missing.m3u"), write("empty.m3u", "#EXTM3U\n"), dir.path()}) {
        notices.clear();
        feature->open(source);
        EXPECT_EQ(notices.size(), 1) << source.toStdString();
    }
    EXPECT_TRUE(pageArea->navigations.isEmpty());
    EXPECT_TRUE(feature->recent().items().isEmpty());
}

TEST_F(Tv, RemindersFromTheGuideComeAtTheStartAndOutliveTheProgram) {
    feature->open(playlistWithGuide());
    pageLoaded();
    ChannelBridge& bridge = feature->bridge();
    ASSERT_TRUE(waitUntil([&] { return feature->guideSource().guide() != nullptr; }));
    const qint64 t = now.toSecsSinceEpoch();
    EXPECT_FALSE(bridge.remind(0, t - 600).isEmpty());  // running already
    EXPECT_FALSE(bridge.remind(0, t + 999).isEmpty());  // no such programme
    EXPECT_FALSE(bridge.remind(1, t + 1200).isEmpty()); // not a playable channel
    EXPECT_EQ(bridge.remind(0, t + 1200), QString());
    EXPECT_FALSE(bridge.remind(0, t + 1200).isEmpty()); // once is enough
    const QVariantList grid = bridge.guide(t - 3600, t + 3600);
    ASSERT_EQ(grid.size(), 1);
    EXPECT_TRUE(grid[0].toMap().value("p").toList().last().toMap().value("r").toBool());

    start(); // survives a restart, and is listed with a way to cancel it
    ASSERT_EQ(feature->reminders().reminders().size(), 1);
    emit menu.aboutToShow();
    EXPECT_NE(action("TvReminderCancel"), nullptr);
    now = now.addSecs(1199);
    feature->reminders().check();
    EXPECT_TRUE(reminded.isEmpty());
    now = now.addSecs(1);
    feature->reminders().check();
    ASSERT_EQ(reminded.size(), 1);
    EXPECT_TRUE(reminded[0].contains("Show 1200")) << reminded[0].toStdString();
    EXPECT_TRUE(feature->reminders().reminders().isEmpty());
    // Watching opens the playlist at the reminded channel, also when the user went elsewhere.
    pageArea->setLocationURL("http://portal.example/");
    pageArea->navigations.clear();
    watchReminded();
    EXPECT_EQ(pageArea->navigations.size(), 1);
    EXPECT_EQ(feature->bridge().playlist().value("start").toInt(), 0);
}

TEST(GuideReminderStore, OnesWhoseProgrammeEndedMeanwhileAreDroppedQuietly) {
    QTemporaryDir dir;
    QDateTime now(QDate(2026, 1, 1), QTime(20, 0));
    const qint64 t = now.toSecsSinceEpoch();
    {
        GuideReminders store(dir.filePath("r.json"), [&] { return now; });
        EXPECT_TRUE(store.add({"p", "http://a", "A", "late", t + 60, t + 120}));
        EXPECT_TRUE(store.add({"p", "http://b", "B", "early", t + 30, t + 3600}));
        EXPECT_FALSE(store.add({"p", "http://c", "C", "now", t, t + 60}));
        store.cancel("http://x", t + 30); // nothing of that
        EXPECT_EQ(store.reminders().size(), 2);
        EXPECT_EQ(store.reminders().first().title, "early");
    }
    now = now.addSecs(600); // the program was closed meanwhile
    GuideReminders store(dir.filePath("r.json"), [&] { return now; });
    QStringList due;
    QObject::connect(&store, &GuideReminders::due,
                     [&](const GuideReminders::Reminder& r) { due << r.title; });
    store.check();
    EXPECT_EQ(due, QStringList{"early"});
    EXPECT_TRUE(store.reminders().isEmpty());
}

// The network holds only a little unread, so a large body comes in many pieces: all of them
// must arrive, in order, in memory and in the file, and the cap still counts every byte.
TEST(TvDownload, BodiesLargerThanWhatTheNetworkHoldsArriveWhole) {
    QByteArray body;
    for (int i = 0; body.size() < 5 * Download::ReadBufferBytes; ++i)
        body += QByteArray::number(i) + ' ';
    test::FeedServer server({.body = body});
    QTemporaryDir dir;
    QNetworkAccessManager network;
    struct Case {
        QString file;
        qint64 cap;
        bool ok;
    };
    const Case cases[] = {{"", body.size(), true},
                          {dir.filePath("cache/guide.xml"), body.size(), true},
                          {dir.filePath("cache/guide.xml"), body.size() - 1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.cap);
        std::optional<std::pair<bool, QByteArray>> result;
        QObject::connect(Download::start(network, QUrl(server.url()), c.cap, c.file, nullptr),
                         &Download::finished, [&](bool ok, const QByteArray& got, const QString&) {
                             result.emplace(ok, got);
                         });
        ASSERT_TRUE(waitUntil([&] { return result.has_value(); }, 20000));
        EXPECT_EQ(result->first, c.ok);
        if (c.ok)
            EXPECT_EQ(c.file.isEmpty() ? result->second : test::readFile(c.file), body);
    }
    // The failed third left the second's complete copy in place.
    EXPECT_EQ(test::readFile(dir.filePath("cache/guide.xml")), body);
}

TEST(Handover, APlaylistReachesTheListeningCopy) {
    QTemporaryDir dir;
    const QString socket = handoverSocketPath(dir.path());
    EXPECT_FALSE(handOverPlaylist(socket, "/x.m3u", 500)); // nobody listens
    PlaylistReceiver receiver(socket);
    ASSERT_TRUE(receiver.listening());
    QStringList received;
    QObject::connect(&receiver, &PlaylistReceiver::received,
                     [&](const QString& p) { received << p; });
    bool handed = false;
    std::unique_ptr<QThread> sender(QThread::create(
        [&] { handed = handOverPlaylist(socket, QStringLiteral("/播放/list.m3u"), 5000); }));
    sender->start();
    ASSERT_TRUE(waitUntil([&] { return sender->isFinished(); }));
    EXPECT_TRUE(handed);
    EXPECT_EQ(received, QStringList{QStringLiteral("/播放/list.m3u")});
}

} // namespace
} // namespace koro::tv
