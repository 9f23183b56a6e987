#include "browse/NewWindowPolicy.h"
#include "browse/TForm3.h"
#include "config/AppSettings.h"
#include "config/ApplicationTitle.h"
#include "config/Error.h"
#include "ui_TForm3.h"
#include "webengine/WebEngineBrowserFactory.h"
#include "webengine/fake/FakeBrowserControl.h"

#include "support/PageServer.h"
#include "support/Wait.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPointer>
#include <QScreen>
#include <QTemporaryDir>
#include <QWindow>
#include <gtest/gtest.h>

namespace {

using namespace koro;

std::string text(const QRect& r) {
    return QStringLiteral("%1,%2 %3x%4")
        .arg(r.x())
        .arg(r.y())
        .arg(r.width())
        .arg(r.height())
        .toStdString();
}

void runDeferredDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The new-window policy alone, on a plain main window with a fake page area and catcher.
class PopupTest : public ::testing::Test {
protected:
    PopupTest() {
        form->setObjectName("TForm1");
        browsers.create(BrowserRole::PageArea, form.get());
        browsers.create(BrowserRole::Catcher, form.get());
        policy = new NewWindowPolicy(*form, *page(), *catcher(), browsers, settings);
    }

    FakeBrowserControl* page() { return browsers.instance(BrowserRole::PageArea); }
    FakeBrowserControl* catcher() { return browsers.instance(BrowserRole::Catcher); }
    QList<FakeBrowserControl*> popupBrowsers() { return browsers.instances(BrowserRole::Popup); }
    static TForm3* popupOf(BrowserControl* browser) {
        return browser ? qobject_cast<TForm3*>(browser->window()) : nullptr;
    }
    static FakeBrowserControl* browserOf(TForm3* popup) {
        return qobject_cast<FakeBrowserControl*>(popup->Webbrowser1());
    }
    // A popup opened the way a page opens one.
    TForm3* requestPopup() {
        settings.opennewfrm = "NewForm";
        return popupOf(page()->fireNewWindow2());
    }

    FakeBrowserFactory browsers;
    AppSettings settings = AppSettings::fresh();
    std::unique_ptr<QWidget> form = std::make_unique<QWidget>();
    NewWindowPolicy* policy = nullptr; // the main window's
};

TEST_F(PopupTest, EveryValueButOldFormOpensAShownPopup) {
    for (const QByteArray value : {"NewForm", "", "oldform", "OldForm ", "anything"}) {
        SCOPED_TRACE(value.toStdString());
        settings.opennewfrm = value;
        const qsizetype before = popupBrowsers().size();
        bool cancelled = true;
        BrowserControl* target = page()->fireNewWindow2(&cancelled);
        EXPECT_FALSE(cancelled);
        ASSERT_EQ(popupBrowsers().size(), before + 1);
        EXPECT_EQ(target, popupBrowsers().last());
        EXPECT_EQ(target->objectName(), "Webbrowser1");
        TForm3* popup = popupOf(target);
        ASSERT_NE(popup, nullptr);
        EXPECT_TRUE(popup->isVisible());
        EXPECT_TRUE(popup->isWindow());
        EXPECT_EQ(popup->windowTitle(), QStringLiteral("Koro网络电视"));
    }
    EXPECT_TRUE(catcher()->navigations.isEmpty());
}

TEST_F(PopupTest, OldFormHandsTheWindowToTheCatcherWhichPassesItToTheMainPage) {
    settings.opennewfrm = "OldForm";
    bool cancelled = true;
    EXPECT_EQ(page()->fireNewWindow2(&cancelled), catcher());
    EXPECT_FALSE(cancelled);
    EXPECT_TRUE(popupBrowsers().isEmpty());

    EXPECT_TRUE(catcher()->fireBeforeNavigate2("http://127.0.0.1:9/popped"));
    EXPECT_EQ(page()->navigations, QStringList{"http://127.0.0.1:9/popped"});
    // An empty window has nothing to pass on and must not blank the main page.
    EXPECT_TRUE(catcher()->fireBeforeNavigate2("about:blank"));
    EXPECT_TRUE(catcher()->fireBeforeNavigate2(""));
    EXPECT_EQ(page()->navigations.size(), 1);
    EXPECT_FALSE(catcher()->isVisible());
}

TEST_F(PopupTest, TheCatcherStopsItsLoadEvenWhenTheMainPageFails) {
    page()->throwOnNavigate = true;
    EXPECT_TRUE(catcher()->fireBeforeNavigate2("http://127.0.0.1:9/popped"));
}

TEST_F(PopupTest, ARequestFromAPopupFollowsThePolicy) {
    TForm3* first = requestPopup();
    ASSERT_NE(first, nullptr);

    settings.opennewfrm = "NewForm";
    BrowserControl* second = browserOf(first)->fireNewWindow2();
    ASSERT_NE(popupOf(second), nullptr);
    EXPECT_NE(popupOf(second), first);

    settings.opennewfrm = "OldForm";
    const qsizetype popups = popupBrowsers().size();
    bool cancelled = true;
    EXPECT_EQ(browserOf(first)->fireNewWindow2(&cancelled), catcher());
    EXPECT_FALSE(cancelled);
    EXPECT_EQ(popupBrowsers().size(), popups);
    EXPECT_TRUE(catcher()->fireBeforeNavigate2("http://127.0.0.1:9/from-popup"));
    EXPECT_EQ(page()->navigations, QStringList{"http://127.0.0.1:9/from-popup"});
    EXPECT_TRUE(browserOf(first)->navigations.isEmpty());
}

TEST_F(PopupTest, StatusLineFallsBackToThePageAddressAndCaptionFollowsTheTitle) {
    TForm3* popup = requestPopup();
    FakeBrowserControl* browser = browserOf(popup);
    QLabel* status = popup->ui().PanelDownloading;
    EXPECT_TRUE(status->toolTip().isEmpty());

    EXPECT_FALSE(browser->fireBeforeNavigate2("http://127.0.0.1:9/a"));
    EXPECT_EQ(popup->downloadingHint(), "http://127.0.0.1:9/a");
    EXPECT_TRUE(status->toolTip().isEmpty()); // the address rides on the label, not as a tooltip

    browser->fireStatusTextChange(" link to b ");
    EXPECT_EQ(status->text(), " link to b "); // shown untrimmed
    for (const QString& blank : {QString(), QStringLiteral("   "), QStringLiteral("\t\r\n\x01 ")}) {
        status->setText("stale");
        browser->fireStatusTextChange(blank);
        EXPECT_EQ(status->text(), "http://127.0.0.1:9/a");
    }

    browser->setLocationName("Page B");
    browser->setLocationURL("http://127.0.0.1:9/b");
    browser->fireDocumentComplete("http://127.0.0.1:9/b");
    // The line shows the hint as it was, then the hint moves on to the finished page.
    EXPECT_EQ(status->text(), "http://127.0.0.1:9/a");
    EXPECT_EQ(popup->downloadingHint(), "http://127.0.0.1:9/b");
    EXPECT_EQ(popup->windowTitle(), "Page B");
    browser->fireStatusTextChange("");
    EXPECT_EQ(status->text(), "http://127.0.0.1:9/b");

    browser->setLocationName("Page C");
    browser->fireDocumentComplete("http://127.0.0.1:9/c");
    EXPECT_EQ(popup->windowTitle(), "Page C");

    QPointer<TForm3> alive(popup);
    runDeferredDeletes();
    EXPECT_FALSE(alive.isNull()); // completing pages does not close an open popup
}

TEST_F(PopupTest, ClosingHidesAtOnceAndDestroysOnlyAfterTheBlankPage) {
    QPointer<TForm3> popup(requestPopup());
    FakeBrowserControl* browser = browserOf(popup);
    browser->fireDocumentComplete("http://127.0.0.1:9/a");
    runDeferredDeletes();

    EXPECT_FALSE(popup->close()); // the close itself only hides
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(popup->hint(), "Close");
    EXPECT_EQ(browser->navigations, QStringList{"about:blank"});
    runDeferredDeletes();
    ASSERT_FALSE(popup.isNull());

    browser->setLocationURL("about:blank");
    browser->fireDocumentComplete("about:blank");
    ASSERT_FALSE(popup.isNull()); // not inside the page's own event
    runDeferredDeletes();
    EXPECT_TRUE(popup.isNull());
}

TEST_F(PopupTest, AFailingBlankPageDestroysTheClosingPopupAtOnce) {
    QPointer<TForm3> popup(requestPopup());
    browserOf(popup)->throwOnNavigate = true;
    popup->close();
    EXPECT_FALSE(popup->isVisible());
    runDeferredDeletes();
    EXPECT_TRUE(popup.isNull());
}

TEST_F(PopupTest, AScriptClosingItsWindowDestroysThePopupAfterTheEvent) {
    QPointer<TForm3> popup(requestPopup());
    QPointer<FakeBrowserControl> browser(browserOf(popup));
    browser->fireWindowClosing();
    ASSERT_FALSE(browser.isNull()); // the page's event returns to a living control
    EXPECT_FALSE(popup->isVisible());
    runDeferredDeletes();
    EXPECT_TRUE(popup.isNull());
    EXPECT_TRUE(browser.isNull());
}

TEST_F(PopupTest, TheButtonSwapsPicturesAndMovesThePageToTheMainWindow) {
    QPointer<TForm3> popup(requestPopup());
    Ui::TForm3& ui = popup->ui();
    QWidget* panel = ui.Panel2;
    EXPECT_EQ(ui.Labelimg->toolTip(), QStringLiteral("网页转到主窗口打开"));
    EXPECT_EQ(panel->width(), 20);
    // Leave lies above Enter, the label above both.
    EXPECT_LT(panel->children().indexOf(ui.ImgGoMainFormEnter),
              panel->children().indexOf(ui.ImgGoMainFormLeave));
    EXPECT_EQ(panel->children().last(), ui.Labelimg);

    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(ui.Labelimg, &enter);
    EXPECT_TRUE(ui.ImgGoMainFormEnter->isVisibleTo(popup));
    EXPECT_FALSE(ui.ImgGoMainFormLeave->isVisibleTo(popup));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(ui.Labelimg, &leave);
    EXPECT_FALSE(ui.ImgGoMainFormEnter->isVisibleTo(popup));
    EXPECT_TRUE(ui.ImgGoMainFormLeave->isVisibleTo(popup));

    FakeBrowserControl* browser = browserOf(popup);
    browser->fireBeforeNavigate2("http://127.0.0.1:9/show");
    browser->setLocationURL("http://127.0.0.1:9/show#1");
    browser->fireDocumentComplete("http://127.0.0.1:9/show#1");

    const QPointF inside(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, inside, ui.Labelimg->mapToGlobal(inside),
                      Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, inside, ui.Labelimg->mapToGlobal(inside),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(ui.Labelimg, &press);
    QCoreApplication::sendEvent(ui.Labelimg, &release);
    EXPECT_EQ(page()->navigations, QStringList{"http://127.0.0.1:9/show#1"});
    EXPECT_FALSE(popup->isVisible());
    EXPECT_EQ(popup->hint(), "Close");
    EXPECT_EQ(browser->navigations.last(), "about:blank");
}

TEST_F(PopupTest, TheButtonKeepsAWindowWithoutAnAddressOpen) {
    QPointer<TForm3> popup(requestPopup());
    FakeBrowserControl* browser = browserOf(popup);
    browser->fireDocumentComplete(""); // an empty window the main page cannot load
    page()->throwOnNavigate = true;
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(popup->ui().Labelimg, &release);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_TRUE(browser->navigations.isEmpty());
}

TEST_F(PopupTest, OwnerAndStayOnTopAreReadAtEachCreation) {
    form->show();
    settings.MinTask = "0";
    settings.FrontShow = "1";
    QPointer<TForm3> owned(requestPopup());
    EXPECT_EQ(owned->parentWidget(), form.get());
    // On the widget too: a recreated native window takes the widget's flags.
    EXPECT_TRUE(owned->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(owned->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(owned->windowHandle()->transientParent(), form->windowHandle());

    settings.MinTask = "1";
    settings.FrontShow = "0";
    QPointer<TForm3> alone(requestPopup());
    EXPECT_EQ(alone->parentWidget(), nullptr);
    EXPECT_TRUE(alone->isWindow());
    EXPECT_FALSE(alone->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(alone->windowHandle()->flags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(alone->windowHandle()->transientParent(), nullptr);

    // Neither outlives the main window.
    form.reset();
    EXPECT_TRUE(owned.isNull());
    EXPECT_TRUE(alone.isNull());
}

TEST_F(PopupTest, TheWindowTakesTheSizeItsPageAsksFor) {
    TForm3* popup = requestPopup();
    ASSERT_NE(popup, nullptr);
    const int statusLine = popup->ui().Panel1->minimumHeight();
    ASSERT_GT(statusLine, 0);
    // The status line comes below the page. The size follows once the engine has returned (it
    // recreates the native window first).
    const QSize opened = popup->size();
    emit browserOf(popup)->geometryChangeRequested(QRect(40, 50, 400, 300));
    EXPECT_EQ(popup->size(), opened);
    QCoreApplication::processEvents();
    EXPECT_EQ(popup->size(), QSize(400, 300 + statusLine));
    // An empty request changes nothing; a huge one is held to the screen.
    emit browserOf(popup)->geometryChangeRequested(QRect(0, 0, 0, 200));
    QCoreApplication::processEvents();
    EXPECT_EQ(popup->size(), QSize(400, 300 + statusLine));
    emit browserOf(popup)->geometryChangeRequested(QRect(0, 0, 100000, 100000));
    QCoreApplication::processEvents();
    const QRect area = popup->screen()->availableGeometry();
    EXPECT_TRUE(area.contains(popup->frameGeometry())) << text(popup->frameGeometry());
    // A window near the screen's edge that grows is moved back onto it.
    popup->move(area.bottomRight() - QPoint(300, 200));
    emit browserOf(popup)->geometryChangeRequested(QRect(0, 0, 400, 300));
    QCoreApplication::processEvents();
    EXPECT_EQ(popup->size(), QSize(400, 300 + statusLine));
    EXPECT_TRUE(area.contains(popup->frameGeometry())) << text(popup->frameGeometry());
}

TEST_F(PopupTest, PopupsOpenWhollyOnTheScreenOverTheMainWindow) {
    const QRect area = form->screen()->availableGeometry();
    form->resize(400, 300);
    form->show();
    // The main window in the middle, and partly off the screen at each corner.
    for (const QPoint at : {area.center() - QPoint(200, 150), area.bottomRight() - QPoint(100, 50),
                            area.topLeft() - QPoint(300, 200), area.topRight() - QPoint(50, 0)}) {
        form->move(at);
        QPointer<TForm3> popup(requestPopup());
        const QRect frame = popup->frameGeometry();
        EXPECT_TRUE(area.contains(frame))
            << text(frame) << " for a main window at " << at.x() << ',' << at.y();
        // The default size, as far as the screen has room for it.
        EXPECT_EQ(popup->size(),
                  QSize(800, 600).boundedTo(area.size() - (frame.size() - popup->size())));
        // A window system that moves a window it is still framing to the screen's corner.
        popup->move(-50, -50);
        EXPECT_TRUE(test::waitUntil([&] { return popup->frameGeometry() == frame; }, 1000))
            << text(popup->frameGeometry());
    }
}

// The engine names a page without a title after its address; such a window names the program.
TEST_F(PopupTest, UntitledPagesAreCaptionedWithTheApplicationTitle) {
    test::PageServer server;
    server.add("/", "<html><body>root</body></html>");
    server.add("/untitled", "<html><body>untitled</body></html>");
    server.add("/titled", "<html><head><title>Titled</title></head><body>titled</body></html>");
    QTemporaryDir dir;
    QFile file(dir.filePath("untitled.html"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("<html><body>file</body></html>");
    file.close();

    WebEngineBrowserFactory engine;
    TForm3 popup(*form, engine, settings, *policy);
    popup.show();
    QStringList completed;
    QObject::connect(popup.Webbrowser1(), &BrowserControl::documentComplete,
                     [&](const QString& url) { completed << url; });
    const QString fileUrl = QUrl::fromLocalFile(file.fileName()).toString();
    const QString named[][2] = {
        {server.url("/titled"), "Titled"},     {server.url("/untitled"), applicationTitle()},
        {server.url("/"), applicationTitle()}, {fileUrl, applicationTitle()},
        {"about:blank", applicationTitle()},
    };
    for (const auto& row : named) {
        const QString& address = row[0];
        SCOPED_TRACE(address.toStdString());
        popup.setWindowTitle("stale");
        popup.Webbrowser1()->navigate(address);
        ASSERT_TRUE(test::waitUntil([&] { return completed.contains(address); }))
            << completed.join(' ').toStdString();
        EXPECT_EQ(popup.windowTitle(), row[1]);
    }
}

TEST_F(PopupTest, OpeningAPopupOnAnAddress) {
    TForm3* popup = policy->openPopup("http://127.0.0.1:9/ad");
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(popup->isVisible());
    EXPECT_EQ(browserOf(popup)->navigations, QStringList{"http://127.0.0.1:9/ad"});

    browsers.throwOnNavigate = true;
    EXPECT_THROW(policy->openPopup("http://127.0.0.1:9/broken"), Error);
    QPointer<FakeBrowserControl> failed(browsers.created.last().control);
    ASSERT_FALSE(failed.isNull());
    QPointer<TForm3> failedPopup(popupOf(failed));
    EXPECT_FALSE(failedPopup->isVisible());
    runDeferredDeletes();
    EXPECT_TRUE(failedPopup.isNull());
    EXPECT_TRUE(popup->isVisible()); // the other popup is untouched
}

} // namespace
