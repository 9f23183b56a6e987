#include "browse/NavigationBar.h"
#include "config/CodePage.h"
#include "config/PlainText.h"
#include "platform/fake/FakeSimpleServices.h"
#include "schedule/AdLine.h"
#include "schedule/TDownThrd.h"
#include "support/FeedServer.h"
#include "support/Files.h"
#include "support/SampleSkins.h"
#include "support/Wait.h"
#include "ui_NavigationBar.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QFile>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <atomic>
#include <optional>
#include <sys/stat.h>

namespace koro {
namespace {

using test::FeedServer;

class Download : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        feed = m_dir.filePath("ad.txt");
        test::writeFile(feed, previous);
    }
    QTemporaryDir m_dir;
    QString feed;
    const QByteArray previous = "old\r\nhttp://old.example/\r\n";
};

TEST_F(Download, ACompleteResponseReplacesTheFile) {
    const QByteArray body = "new\r\nhttp://new.example/\r\n";
    FeedServer server({.body = body});
    EXPECT_TRUE(TDownThrd::DownloadToFile(server.url(), feed));
    EXPECT_EQ(test::readFile(feed), body);
    // The temporary file is gone.
    EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"ad.txt"});
}

TEST_F(Download, EveryFailureLeavesThePreviousFeed) {
    EXPECT_FALSE(TDownThrd::DownloadToFile(test::refusedAddress("/ad.txt"), feed));
    EXPECT_EQ(test::readFile(feed), previous);
    const struct {
        const char* what;
        FeedServer::Reply reply;
    } cases[] = {
        {"an error status", {.status = "500 Internal Server Error", .body = "broken"}},
        // Promises more than it sends, then goes quiet.
        {"a stalled body", {.body = "partial\r\n", .announced = 18, .close = false}},
        {"over the size limit", {.body = QByteArray(MaxFeedBytes + 1, 'x')}},
        {"an empty 200", {.body = QByteArray()}},
        // A byte now and then, never quiet long enough for the inactivity time-out.
        {"a trickle past the total time",
         {.body = QByteArray(1000, 'x'), .chunk = 1, .pauseMs = 200}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FeedServer server(c.reply);
        QElapsedTimer clock;
        clock.start();
        EXPECT_FALSE(TDownThrd::DownloadToFile(server.url(), feed, 1500));
        EXPECT_LT(clock.elapsed(), 5000) << "the total time limit holds";
        EXPECT_EQ(test::readFile(feed), previous);
        EXPECT_EQ(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"ad.txt"});
    }
    // A feed right at the limit is a feed.
    FeedServer server({.body = QByteArray(MaxFeedBytes, 'y')});
    EXPECT_TRUE(TDownThrd::DownloadToFile(server.url(), feed));
}

TEST_F(Download, TheThreadRunsOffTheCallerAndCanBeStopped) {
    // Promises more than it sends, then goes quiet.
    FeedServer server({.body = "partial\r\n", .announced = 18, .close = false});
    auto* thread = new TDownThrd(server.url(), feed);
    QPointer<TDownThrd> watch(thread);
    std::optional<bool> result;
    QObject context;
    QObject::connect(thread, &TDownThrd::downloaded, &context,
                     [&](bool replaced) { result = replaced; });
    thread->start();
    EXPECT_TRUE(thread->isRunning());
    QThread::msleep(300);
    thread->abort();
    // Well before the inactivity time-out.
    ASSERT_TRUE(test::waitUntil([&] { return result.has_value(); }, 3000));
    EXPECT_FALSE(*result);
    EXPECT_EQ(test::readFile(feed), previous);
    // It frees itself, once its run has ended.
    EXPECT_TRUE(test::waitUntil(
        [&] {
            test::flushDeletes();
            return watch.isNull();
        },
        5000));
}

class AdLineTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        feed = m_dir.filePath("ad.txt");
        line = std::make_unique<AdLine>(
            feed, [this](const QString& url) { popups.append(url); }, shell);
        line->setText(QStringLiteral("caption"));
    }
    void load(const QByteArray& bytes) {
        test::writeFile(feed, bytes);
        line->Timer_ReadadTimer();
    }
    QTemporaryDir m_dir;
    QString feed;
    FakeShellOpen shell;
    QStringList popups;
    std::unique_ptr<AdLine> line;
};

TEST_F(AdLineTest, TimersStartAsTheWindowNeedsThem) {
    EXPECT_TRUE(line->Timer_Readad().isActive());
    EXPECT_EQ(line->Timer_Readad().interval(), 12000);
    EXPECT_FALSE(line->Timer_Showad().isActive());
    EXPECT_EQ(line->Timer_Showad().interval(), 8000);
}

TEST_F(AdLineTest, ReadsOnceThenRotatesFromTheFirstPair) {
    // In the code page: 广告.
    load("\xb9\xe3\xb8\xe6\r\nhttp://one.example/\nsecond\rhttps://two.example/");
    EXPECT_TRUE(line->Timer_Showad().isActive());
    // The read timer is gone: a second read cannot happen.
    EXPECT_EQ(line->findChild<QTimer*>("Timer_Readad"), nullptr);
    EXPECT_EQ(line->text(), "caption");
    line->gogg();
    EXPECT_EQ(line->text(), QStringLiteral("广告"));
    EXPECT_EQ(line->toolTip(), "http://one.example/");
    line->gogg();
    EXPECT_EQ(line->text(), "second");
    line->gogg();
    EXPECT_EQ(line->text(), QStringLiteral("广告"));
}

TEST_F(AdLineTest, NoFileASingleLineOrAPipeKeepTheCaption) {
    line->Timer_ReadadTimer();
    EXPECT_FALSE(line->Timer_Showad().isActive());
    load("lonely\r\n");
    line->gogg();
    line->gogg();
    EXPECT_EQ(line->text(), "caption");

    QFile::remove(feed);
    ASSERT_EQ(::mkfifo(QFile::encodeName(feed).constData(), 0600), 0);
    line = std::make_unique<AdLine>(feed, AdLine::PopupOpener(), shell);
    line->Timer_ReadadTimer(); // would wait for a writer for ever
    EXPECT_FALSE(line->Timer_Showad().isActive());
}

TEST_F(AdLineTest, ClickRoutesTheLink) {
    load("a\r\nHTTP://Pop.example/\r\nb\r\nhttps://secure.example/\r\nc\r\n/usr/bin/xterm\r\n"
         "d\r\nfile:///etc/passwd\r\n");
    for (int ad = 0; ad < 4; ++ad) {
        line->gogg();
        line->labeladClick();
    }
    EXPECT_EQ(popups, QStringList{"HTTP://Pop.example/"});
    EXPECT_EQ(shell.opened, QStringList{"https://secure.example/"});
}

TEST_F(AdLineTest, ARealClickOnTheLabelOpensTheLink) {
    load("a\r\nhttp://pop.example/\r\n");
    line->gogg();
    line->resize(200, 20);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(line.get(), &press);
    QApplication::sendEvent(line.get(), &release);
    EXPECT_EQ(popups, QStringList{"http://pop.example/"});
}

TEST_F(AdLineTest, HostileFeedsShowTextOnlyAndOpenNothingLocal) {
    // Markup would be loaded as rich text: an image of /dev/zero reads until memory runs out.
    load("<img src=\"/dev/zero\"><b>bold</b>\r\n<img src=\"/dev/zero\">\r\n"
         "x\r\nfile:///etc/passwd?http://\r\n"
         "y\r\njavascript:alert(1)//http://\r\n" +
         QByteArray(10000, 'z') + "\r\nhttp://ok.example/\r\n");
    line->gogg();
    EXPECT_EQ(line->textFormat(), Qt::PlainText);
    EXPECT_EQ(line->text(), "<img src=\"/dev/zero\"><b>bold</b>");
    EXPECT_FALSE(line->toolTip().contains("<img")) << "a link that is no address is not shown";
    for (int i = 0; i < 3; ++i) {
        line->gogg();
        line->labeladClick();
    }
    EXPECT_EQ(popups, QStringList{"http://ok.example/"});
    EXPECT_TRUE(shell.opened.isEmpty()) << shell.opened.join(' ').toStdString();
    EXPECT_EQ(line->text(), QString(MaxAdTextChars, u'z')) << "a long line is cut";

    // Of an oversized file only the head is read: a feed is a few short lines.
    QByteArray flood;
    for (int i = 0; i < 1 << 21; ++i)
        flood += "a\n";
    line = std::make_unique<AdLine>(feed, AdLine::PopupOpener(), shell);
    load(flood);
    EXPECT_LE(line->rotation().lines().size(), MaxFeedBytes / 2);
}

TEST(PlainToolTip, MarkupIsShownAsText) {
    EXPECT_EQ(plainToolTip("http://a.example/"), "http://a.example/");
    const QString hostile = plainToolTip("<img src=\"/dev/zero\">");
    EXPECT_FALSE(hostile.contains("<img"));
    QTextDocument shown;
    shown.setHtml(hostile);
    EXPECT_EQ(shown.toPlainText(), "<img src=\"/dev/zero\">");
}

// The longest row of pixels of exactly that colour: an underline drawn in it.
int longestRun(const QImage& image, QRgb colour) {
    int longest = 0;
    for (int y = 0; y < image.height(); ++y) {
        int run = 0;
        for (int x = 0; x < image.width(); ++x) {
            run = image.pixel(x, y) == colour ? run + 1 : 0;
            longest = std::max(longest, run);
        }
    }
    return longest;
}

// In the navigation row's panel, where the skins style it, right of a space that shows the
// panel's own colour.
TEST_F(AdLineTest, HoverIsBlueAndUnderlinedUnderEveryLookAndTheLineIsThePanels) {
    const QRgb blue = qRgb(0, 0, 255);
    for (const QString& look : test::everyLook()) {
        SCOPED_TRACE(look.toStdString());
        const test::SkinWorn worn(look);
        QFrame panel;
        panel.setObjectName("Panel3");
        auto* row = new QHBoxLayout(&panel);
        row->setContentsMargins(0, 0, 0, 0);
        row->addSpacing(40);
        auto* ad = new AdLine(feed, {}, shell, &panel);
        row->addWidget(ad);
        ad->setText(QStringLiteral("广告 ad"));
        panel.resize(300, 28);
        panel.show();

        const QImage rest = test::picture(&panel);
        EXPECT_EQ(longestRun(rest, blue), 0);
        for (int y = 0; y < rest.height(); ++y)
            ASSERT_EQ(rest.pixel(rest.width() - 1, y), rest.pixel(5, y)) << "no block at row " << y;
        QEnterEvent enter(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(ad, &enter);
        EXPECT_GE(longestRun(test::picture(&panel), blue), 20) << "a blue underline";
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(ad, &leave);
        EXPECT_EQ(test::picture(&panel), rest) << "leaving restores the look";
    }
}

} // namespace
} // namespace koro
