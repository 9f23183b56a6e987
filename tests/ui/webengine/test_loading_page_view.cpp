#include "app/StartupFiles.h"
#include "webengine/LoadingPageView.h"
#include "config/Error.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include "support/Wait.h"

#include <gtest/gtest.h>

namespace {

using koro::LoadingPageView;

using koro::test::waitUntil;

TEST(LoadingPageView, FindsTheBodyBackgroundInItsForms) {
    EXPECT_EQ(LoadingPageView::backgroundOf("<body a=1 background=loading.gif border=0>", "/p"),
              "/p/loading.gif");
    EXPECT_EQ(LoadingPageView::backgroundOf("<BODY BACKGROUND=\"sub/x y.gif\">", "/p"),
              "/p/sub/x y.gif");
    EXPECT_EQ(LoadingPageView::backgroundOf("<body background='file:///q/z.gif'>", "/p"),
              "/q/z.gif");
    EXPECT_EQ(LoadingPageView::backgroundOf("<body background=http://h/z.gif>", "/p"), "");
    EXPECT_EQ(LoadingPageView::backgroundOf("<body bgcolor=red>", "/p"), "");
}

TEST(LoadingPageView, ShowsTheLoadingPageAnimationAndReportsIt) {
    QTemporaryDir dir;
    koro::extractStartupFiles(QDir(dir.path()));
    LoadingPageView view;
    view.resize(16, 16);
    view.show();
    QStringList asked;
    QObject::connect(&view, &koro::BrowserControl::beforeNavigate2,
                     [&](const QString& url, bool*) { asked << url; });
    QStringList complete;
    QObject::connect(&view, &koro::BrowserControl::documentComplete,
                     [&](const QString& url) { complete << url; });

    view.navigate(dir.filePath("html/loading.htm"));
    ASSERT_TRUE(waitUntil([&] { return !complete.isEmpty(); }, 5000));
    const QString url = QUrl::fromLocalFile(dir.filePath("html/loading.htm")).toString();
    EXPECT_EQ(asked, QStringList{url});
    EXPECT_EQ(complete, QStringList{url});
    waitUntil([] { return false; }, 150); // let the animation draw a frame
    EXPECT_EQ(view.locationURL(), url);

    // Some blue dots are drawn on a transparent ground.
    const QImage shot = view.grab().toImage();
    int blue = 0;
    for (int y = 0; y < shot.height(); ++y)
        for (int x = 0; x < shot.width(); ++x)
            blue += qBlue(shot.pixel(x, y)) > qRed(shot.pixel(x, y)) + 40;
    EXPECT_GT(blue, 4);
}

TEST(LoadingPageView, RefusesWebAddressesAndHonoursCancel) {
    LoadingPageView view;
    EXPECT_THROW(view.navigate("http://127.0.0.1/x"), koro::Error);
    QObject::connect(&view, &koro::BrowserControl::beforeNavigate2,
                     [](const QString&, bool* cancel) { *cancel = true; });
    int complete = 0;
    QObject::connect(&view, &koro::BrowserControl::documentComplete, [&] { ++complete; });
    view.navigate("about:blank");
    EXPECT_FALSE(waitUntil([&] { return complete > 0; }, 100));
    EXPECT_EQ(view.locationURL(), "");
}

} // namespace
