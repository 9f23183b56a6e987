#include "config/Error.h"
#include "platform/fake/FakeSimpleServices.h"
#include "webengine/ExternalSchemes.h"
#include "webengine/LoadingPageView.h"
#include "webengine/PageDialog.h"
#include "webengine/TEwbCore.h"
#include "webengine/UnrequestedWindowLimit.h"
#include "webengine/WebEngineBrowserFactory.h"

#include "support/FeedServer.h"
#include "support/Files.h"
#include "support/ModalAnswers.h"
#include "support/PageServer.h"
#include "support/Wait.h"
#include <QApplication>
#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QMenu>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QWebEnginePage>
#include <QWebEngineView>
#include <functional>

#include <gtest/gtest.h>
#include <memory>

namespace koro {
namespace {

using koro::test::PageServer;
using koro::test::waitUntil;

// Everything one instance reported, in order.
struct EventLog {
    explicit EventLog(BrowserControl& browser) {
        QObject::connect(&browser, &BrowserControl::beforeNavigate2, &browser,
                         [this](const QString& url, bool* cancel) {
                             events << "before " + url;
                             if (onBefore)
                                 onBefore(url, cancel);
                         });
        QObject::connect(&browser, &BrowserControl::documentComplete, &browser,
                         [this](const QString& url) { events << "complete " + url; });
        QObject::connect(&browser, &BrowserControl::commandStateChange, &browser,
                         [this](int command, bool enable) { commands[command] = enable; });
        QObject::connect(&browser, &BrowserControl::newWindow2, &browser,
                         [this](BrowserControl** target, bool*) {
                             ++newWindows;
                             *target = newWindowTarget;
                         });
        QObject::connect(&browser, &BrowserControl::windowClosing, &browser,
                         [this](bool isChild, bool*) {
                             ++closings;
                             closingIsChild = isChild;
                         });
    }

    bool has(const QString& event) const { return events.contains(event); }
    bool completed(const QString& url) const { return has("complete " + url); }

    QStringList events;
    QMap<int, bool> commands;
    std::function<void(const QString&, bool*)> onBefore;
    BrowserControl* newWindowTarget = nullptr;
    int newWindows = 0;
    int closings = 0;
    bool closingIsChild = true;
};

QString runScript(QWebEnginePage* page, const QString& script) {
    QString result;
    bool done = false;
    page->runJavaScript(script, [&](const QVariant& value) {
        result = value.toString();
        done = true;
    });
    waitUntil([&] { return done; });
    return result;
}

// Clicks as the window system delivers them, so the page sees a user's gesture.
void clickAt(QWidget* input, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
    const QPointF global = input->mapToGlobal(QPointF(at));
    QMouseEvent move(QEvent::MouseMove, QPointF(at), global, Qt::NoButton, Qt::NoButton,
                     Qt::NoModifier);
    QCoreApplication::sendEvent(input, &move);
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), global, button, button,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(input, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), global, button, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(input, &release);
}

// The view's input widget, once the page has given it one.
QWidget* inputOf(const TEwbCore& browser) {
    QWidget* input = nullptr;
    waitUntil([&] {
        input = browser.findChild<QWebEngineView*>()->focusProxy();
        return input != nullptr;
    });
    return input;
}

// Clicks at until done() holds: the page takes clicks only some time after it has shown.
bool clickUntil(const TEwbCore& browser, QPoint at, const std::function<bool()>& done,
                Qt::MouseButton button = Qt::LeftButton) {
    QWidget* input = inputOf(browser);
    return input && waitUntil([&] {
               clickAt(input, at, button);
               return waitUntil(done, 500);
           });
}

class TEwbCoreTest : public ::testing::Test {
protected:
    void SetUp() override {
        server.add("/one", "<html><head><title>Page one</title></head><body>1</body></html>");
        server.add("/two", "<html><head><title>Page two</title></head><body>2</body></html>");
        server.add("/blocked", "<html><head><title>Blocked</title></head></html>");
        server.add("/target", "<html><head><title>Target</title></head><body>t</body></html>");
        server.add("/scripted", "<html><head><title>Scripted</title></head><body>s</body></html>");
        server.add("/opener", "<html><head><title>Opener</title></head><body>"
                              "<a id='a' href='/target' target='_blank'>new</a></body></html>");
    }

    // Shows the page area (at 400 x 300 unless already shown) and loads path into it.
    void load(TEwbCore& browser, const EventLog& log, const QString& path) {
        if (!browser.isVisible()) {
            browser.resize(400, 300);
            browser.show();
        }
        browser.navigate(server.url(path));
        ASSERT_TRUE(waitUntil([&] { return log.completed(server.url(path)); }))
            << log.events.join('\n').toStdString();
    }

    PageServer server;
};

TEST(TEwbCoreAddress, ReadsTheKindsOfAddressCallersPass) {
    QTemporaryDir dir;
    const QString file = dir.filePath("page.html");
    QFile(file).open(QIODevice::WriteOnly);

    EXPECT_EQ(TEwbCore::addressFromText("about:blank"), QUrl("about:blank"));
    EXPECT_EQ(TEwbCore::addressFromText(file), QUrl::fromLocalFile(file));
    EXPECT_EQ(TEwbCore::addressFromText("example.com"), QUrl("http://example.com"));
    EXPECT_EQ(TEwbCore::addressFromText("www.example.com/tv/a.htm"),
              QUrl("http://www.example.com/tv/a.htm"));
    // A host with a port must not be taken for a scheme.
    EXPECT_EQ(TEwbCore::addressFromText("127.0.0.1:8080/page"), QUrl("http://127.0.0.1:8080/page"));
    EXPECT_EQ(TEwbCore::addressFromText("localhost:8080/page"), QUrl("http://localhost:8080/page"));
    EXPECT_EQ(TEwbCore::addressFromText("https://example.com/a?b=c"),
              QUrl("https://example.com/a?b=c"));
    EXPECT_EQ(TEwbCore::addressFromText("mailto:someone@example.com"),
              QUrl("mailto:someone@example.com"));
}

TEST(TEwbCoreAddress, RejectsWhatIsNoAddress) {
    TEwbCore browser(BrowserRole::PageArea);
    EXPECT_THROW(browser.navigate(""), Error);
    EXPECT_THROW(browser.navigate("   "), Error);
    EXPECT_THROW(browser.navigate("http://[::1"), Error);
    EXPECT_NO_THROW(browser.navigate("about:blank"));
}

TEST(TEwbCoreFactory, MakesInstancesOwnedByTheParent) {
    QWidget parent;
    WebEngineBrowserFactory factory;
    QPointer<BrowserControl> browser = factory.create(BrowserRole::Popup, &parent);
    ASSERT_TRUE(qobject_cast<TEwbCore*>(browser.data()));
    EXPECT_EQ(browser->parent(), &parent);
    // The loading indicator draws its local page without a page-engine process.
    QPointer<BrowserControl> indicator = factory.create(BrowserRole::LoadingIcon, &parent);
    EXPECT_TRUE(qobject_cast<LoadingPageView*>(indicator.data()));
    EXPECT_EQ(indicator->parent(), &parent);
}

// The page, and with it the engine, comes once the event loop runs, so that the window need not
// wait for it: what a caller did before must still reach the page.
TEST_F(TEwbCoreTest, FocusAndNavigationGivenBeforeThePageExistsReachIt) {
    QWidget window;
    window.resize(400, 300);
    auto* field = new QLineEdit(&window); // first in the focus chain
    auto* browser = new TEwbCore(BrowserRole::PageArea, &window);
    browser->setGeometry(0, 30, 400, 270);
    EventLog log(*browser);
    EXPECT_TRUE(browser->locationURL().isEmpty());
    browser->setFocus();
    window.show();
    window.activateWindow();
    auto* view = browser->findChild<QWebEngineView*>();
    ASSERT_TRUE(waitUntil([&] { return view->focusProxy() != nullptr; }));
    EXPECT_TRUE(view->isAncestorOf(QApplication::focusWidget()) ||
                QApplication::focusWidget() == view)
        << (QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className()
                                        : "no focus");
    EXPECT_FALSE(field->hasFocus());

    // A second instance is given its address before the event loop ran.
    auto* early = new TEwbCore(BrowserRole::PageArea, &window);
    EventLog earlyLog(*early);
    early->navigate(server.url("/one"));
    EXPECT_TRUE(waitUntil([&] { return earlyLog.completed(server.url("/one")); }));
    EXPECT_EQ(early->locationName(), "Page one");
}

TEST_F(TEwbCoreTest, NavigatesLocalFilesAndBareHosts) {
    QTemporaryDir dir;
    const QString file = dir.filePath("local.html");
    test::writeFile(file, "<html><head><title>Local page</title></head><body>x</body></html>");

    TEwbCore browser(BrowserRole::PageArea);
    EventLog log(browser);

    const QString fileUrl = QUrl::fromLocalFile(file).toString();
    browser.navigate(file);
    ASSERT_TRUE(waitUntil([&] { return log.completed(fileUrl); }))
        << log.events.join('\n').toStdString();
    EXPECT_LT(log.events.indexOf("before " + fileUrl), log.events.indexOf("complete " + fileUrl));
    EXPECT_EQ(browser.locationURL(), fileUrl);
    EXPECT_EQ(browser.locationName(), "Local page");

    log.events.clear();
    browser.navigate(QStringLiteral("127.0.0.1:%1/one").arg(server.port()));
    const QString one = server.url("/one");
    ASSERT_TRUE(waitUntil([&] { return log.completed(one); }))
        << log.events.join('\n').toStdString();
    EXPECT_EQ(log.events.first(), "before " + one);
    EXPECT_EQ(browser.locationURL(), one);
    EXPECT_EQ(browser.locationName(), "Page one");
}

TEST_F(TEwbCoreTest, CompletesRedirectsErrorPagesAndBlankPages) {
    TEwbCore browser(BrowserRole::PageArea);
    EventLog log(browser);

    // A fresh instance asked for the blank page: asked about once, then completed.
    browser.navigate("about:blank");
    ASSERT_TRUE(waitUntil([&] { return log.completed("about:blank"); }));
    EXPECT_EQ(log.events.count("before about:blank"), 1);

    server.addRedirect("/moved", "/two");
    browser.navigate(server.url("/moved"));
    ASSERT_TRUE(waitUntil([&] { return log.completed(server.url("/two")); }))
        << log.events.join('\n').toStdString();
    EXPECT_TRUE(log.has("before " + server.url("/moved")));
    EXPECT_FALSE(log.completed(server.url("/moved")));
    EXPECT_EQ(browser.locationURL(), server.url("/two"));

    // A refused connection still ends in a (error) document.
    const QString refused = test::refusedAddress();
    browser.navigate(refused);
    ASSERT_TRUE(waitUntil([&] { return log.completed(refused); }));

    log.events.clear();
    browser.navigate("about:blank");
    ASSERT_TRUE(waitUntil([&] { return log.completed("about:blank"); }));
    EXPECT_EQ(log.events.count("before about:blank"), 1);
    EXPECT_EQ(browser.locationURL(), "about:blank");
}

TEST_F(TEwbCoreTest, StopAbandonsAPendingLoad) {
    server.addHanging("/slow");
    TEwbCore browser(BrowserRole::PageArea);
    EventLog log(browser);
    ASSERT_NO_FATAL_FAILURE(load(browser, log, "/one"));

    browser.navigate(server.url("/slow"));
    ASSERT_TRUE(waitUntil([&] { return server.requestsFor("/slow") == 1; }));
    EXPECT_EQ(server.abandoned(), 0);
    browser.stop();
    ASSERT_TRUE(waitUntil([&] { return server.abandoned() == 1; }));
    ASSERT_NO_FATAL_FAILURE(load(browser, log, "/two"));
    EXPECT_FALSE(log.completed(server.url("/slow")));
}

TEST_F(TEwbCoreTest, HoveringALinkShowsItsAddress) {
    server.add("/link", "<html><body style='margin:0'><a href='/two' style='display:block;"
                        "height:100px'>link</a></body></html>");
    TEwbCore browser(BrowserRole::PageArea);
    EventLog log(browser);
    QStringList texts;
    QObject::connect(&browser, &BrowserControl::statusTextChange,
                     [&](const QString& text) { texts << text; });
    ASSERT_NO_FATAL_FAILURE(load(browser, log, "/link"));
    QWidget* input = inputOf(browser);
    ASSERT_TRUE(input);

    const auto moveTo = [&](QPoint at) {
        QMouseEvent move(QEvent::MouseMove, at, input->mapToGlobal(at), Qt::NoButton, Qt::NoButton,
                         Qt::NoModifier);
        QCoreApplication::sendEvent(input, &move);
    };
    ASSERT_TRUE(waitUntil([&] {
        moveTo({20, 50});
        return texts.contains(server.url("/two"));
    }));
    ASSERT_TRUE(waitUntil([&] {
        moveTo({20, 250});
        return !texts.isEmpty() && texts.last().isEmpty();
    }));
}

TEST_F(TEwbCoreTest, CancelledNavigationLoadsNothing) {
    TEwbCore browser(BrowserRole::PageArea);
    EventLog log(browser);
    log.onBefore = [](const QString& url, bool* cancel) {
        if (url.endsWith("/blocked"))
            *cancel = true;
    };

    ASSERT_NO_FATAL_FAILURE(load(browser, log, "/one"));
    browser.navigate(server.url("/blocked"));
    ASSERT_TRUE(waitUntil([&] { return log.has("before " + server.url("/blocked")); }));
    // A later navigation shows the engine has moved past the cancelled one.
    ASSERT_NO_FATAL_FAILURE(load(browser, log, "/two"));

    EXPECT_EQ(server.requestsFor("/blocked"), 0);
    EXPECT_FALSE(log.completed(server.url("/blocked")));
    EXPECT_EQ(browser.locationURL(), server.url("/two"));
}

TEST_F(TEwbCoreTest, BackAndForwardFollowHistory) {
    TEwbCore browser(BrowserRole::PageArea);
    EventLog log(browser);

    ASSERT_NO_FATAL_FAILURE(load(browser, log, "/one"));
    EXPECT_FALSE(log.commands.value(BrowserControl::CommandBack, true));
    EXPECT_FALSE(log.commands.value(BrowserControl::CommandForward, true));

    ASSERT_NO_FATAL_FAILURE(load(browser, log, "/two"));
    EXPECT_TRUE(log.commands.value(BrowserControl::CommandBack, false));
    EXPECT_FALSE(log.commands.value(BrowserControl::CommandForward, true));

    log.events.clear();
    browser.goBack();
    ASSERT_TRUE(waitUntil([&] { return log.completed(server.url("/one")); }));
    EXPECT_EQ(browser.locationURL(), server.url("/one"));
    EXPECT_FALSE(log.commands.value(BrowserControl::CommandBack, true));
    EXPECT_TRUE(log.commands.value(BrowserControl::CommandForward, false));

    log.events.clear();
    browser.goForward();
    ASSERT_TRUE(waitUntil([&] { return log.completed(server.url("/two")); }));
    EXPECT_TRUE(log.commands.value(BrowserControl::CommandBack, false));
    EXPECT_FALSE(log.commands.value(BrowserControl::CommandForward, true));
}

// A page area showing /opener whose next new window goes to a shown popup instance.
class OpenerAndPopupTest : public TEwbCoreTest {
protected:
    void SetUp() override {
        TEwbCoreTest::SetUp();
        popup.show();
        openerLog.newWindowTarget = &popup;
        ASSERT_NO_FATAL_FAILURE(load(opener, openerLog, "/opener"));
    }

    TEwbCore opener{BrowserRole::PageArea};
    EventLog openerLog{opener};
    TEwbCore popup{BrowserRole::Popup};
    EventLog popupLog{popup};
};

TEST_F(OpenerAndPopupTest, NewWindowsLoadInTheInstanceTheHandlerNames) {
    // A link with a target.
    runScript(opener.page(), "document.getElementById('a').click()");
    ASSERT_TRUE(waitUntil([&] { return popupLog.completed(server.url("/target")); }))
        << popupLog.events.join('\n').toStdString();
    EXPECT_EQ(openerLog.newWindows, 1);
    EXPECT_TRUE(popupLog.has("before " + server.url("/target")));
    EXPECT_EQ(popup.locationURL(), server.url("/target"));
    EXPECT_EQ(popup.locationName(), "Target");
    EXPECT_EQ(opener.locationURL(), server.url("/opener"));

    // A script without a click; the requested size reaches the new window.
    TEwbCore second(BrowserRole::Popup);
    second.show();
    EventLog secondLog(second);
    QRect requested;
    QObject::connect(&second, &TEwbCore::geometryChangeRequested,
                     [&](const QRect& geometry) { requested = geometry; });
    openerLog.newWindowTarget = &second;
    runScript(opener.page(), "window.open('/scripted', 'w', 'width=320,height=240'); 1");
    ASSERT_TRUE(waitUntil([&] { return secondLog.completed(server.url("/scripted")); }))
        << secondLog.events.join('\n').toStdString();
    EXPECT_EQ(openerLog.newWindows, 2);
    EXPECT_EQ(second.locationName(), "Scripted");
    EXPECT_EQ(requested.size(), QSize(320, 240));
    EXPECT_EQ(popup.locationURL(), server.url("/target"));
}

QString htmlOf(QWebEnginePage* page) {
    QString html;
    bool done = false;
    page->toHtml([&](const QString& value) {
        html = value;
        done = true;
    });
    waitUntil([&] { return done; });
    return html;
}

// Portals open a window empty or blank and write into it. Drawing such a document crashed the
// engine, and a copy in its place was only a picture: the window must be the page itself.
TEST_F(TEwbCoreTest, WindowsWrittenByTheirOpenerAreLivePages) {
    server.add("/writer", R"html(<html><head><title>Writer</title></head><body>writer
<template id="doc"><title>Written</title><body style="margin:0">
<button style="display:block;width:100%;height:40px" onclick="document.title='Clicked'">b</button>
<a style="display:block;height:40px" href="/one">link</a>
<form action="/two" style="margin:0"><input name="q" value="v"
 style="display:block;height:20px;box-sizing:border-box"><button style="display:block;width:100%;height:40px">send</button></form>
<button style="display:block;width:100%;height:40px" onclick="window.close()">close</button>
<p>first text</p><script>new Image().src = '/counted';</script></body></template>
<script>function openWritten(target) {
  var w = window.open(target, '_blank', 'width=310,height=250');
  w.document.write(document.getElementById('doc').innerHTML);
  w.document.close();
  return w;
}</script></body></html>)html");
    TEwbCore opener(BrowserRole::PageArea);
    EventLog openerLog(opener);
    ASSERT_NO_FATAL_FAILURE(load(opener, openerLog, "/writer"));

    // Each window is clicked below the button at what it holds there.
    struct Case {
        QString target;
        int y;
        std::function<bool(const EventLog&)> followed;
    };
    const Case cases[] = {
        {"", 60, [&](const EventLog& log) { return log.completed(server.url("/one")); }},
        {"about:blank", 120,
         [&](const EventLog& log) { return log.completed(server.url("/two?q=v")); }},
        {"", 160, [](const EventLog& log) { return log.closings == 1; }},
    };
    int written = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.y);
        TEwbCore popup(BrowserRole::Popup);
        popup.resize(310, 250);
        popup.show();
        EventLog popupLog(popup);
        QRect requested;
        QObject::connect(&popup, &TEwbCore::geometryChangeRequested,
                         [&](const QRect& geometry) { requested = geometry; });
        openerLog.newWindowTarget = &popup;
        runScript(opener.page(), "var w = openWritten('" + c.target + "'); 1");
        // The view shows the engine's own window, which knows its opener.
        ASSERT_TRUE(waitUntil([&] { return htmlOf(popup.page()).contains("first text"); }));
        EXPECT_EQ(runScript(popup.page(), "String(window.opener !== null)"), "true");
        ASSERT_TRUE(waitUntil([&] { return popupLog.has("complete " + popup.locationURL()); }))
            << popupLog.events.join('\n').toStdString();
        EXPECT_EQ(popup.locationName(), "Written");
        EXPECT_EQ(requested.size(), QSize(310, 250));
        ++written;
        EXPECT_TRUE(waitUntil([&] { return server.requestsFor("/counted") == written; }));

        EXPECT_TRUE(clickUntil(popup, {20, 20}, [&] { return popup.locationName() == "Clicked"; }));
        runScript(opener.page(), "w.document.body.insertAdjacentHTML('beforeend', '<p>more</p>');"
                                 "1");
        EXPECT_TRUE(waitUntil([&] { return htmlOf(popup.page()).contains("more"); }));
        EXPECT_TRUE(clickUntil(popup, {20, c.y}, [&] { return c.followed(popupLog); }))
            << popupLog.events.join('\n').toStdString();
        EXPECT_EQ(server.requestsFor("/counted"), written) << "the written scripts ran once";
    }
    opener.navigate(server.url("/two"));
    EXPECT_TRUE(waitUntil([&] { return openerLog.completed(server.url("/two")); }));
}

TEST_F(OpenerAndPopupTest, WrittenWindowThatLoadsAnAddressShowsThePageItself) {
    runScript(opener.page(), "var w = window.open('');"
                             "w.document.write('<p>wait</p>'); w.document.close();"
                             "setTimeout(function () { w.location = '/target'; }, 300); 1");
    ASSERT_TRUE(waitUntil([&] { return popupLog.completed(server.url("/target")); }))
        << popupLog.events.join('\n').toStdString();
    EXPECT_EQ(popup.page()->url().toString(), server.url("/target"));
    EXPECT_EQ(popup.locationName(), "Target");
    // The engine's own window: scripts run and it still knows its opener.
    EXPECT_EQ(runScript(popup.page(), "String(window.opener !== null)"), "true");

    // Links in the page open where the page area says, and the page is the user's to navigate.
    ASSERT_NO_FATAL_FAILURE(load(popup, popupLog, "/two"));
    EXPECT_EQ(popup.locationName(), "Page two");
}

TEST_F(TEwbCoreTest, RefusedNewWindowOpensNothing) {
    TEwbCore opener(BrowserRole::PageArea);
    EventLog openerLog(opener);
    ASSERT_NO_FATAL_FAILURE(load(opener, openerLog, "/opener"));

    runScript(opener.page(), "var w = window.open('/scripted'); 1");
    ASSERT_TRUE(waitUntil([&] { return openerLog.newWindows == 1; }));
    // The engine hands the script a window object anyway, then closes it.
    ASSERT_TRUE(waitUntil([&] { return runScript(opener.page(), "String(w.closed)") == "true"; }));
    EXPECT_EQ(server.requestsFor("/scripted"), 0);
}

TEST_F(TEwbCoreTest, CatcherPassesNewWindowsOnAndShowsNothing) {
    QWidget window;
    auto* main = new TEwbCore(BrowserRole::PageArea, &window);
    main->resize(400, 300);
    auto* catcher = new TEwbCore(BrowserRole::Catcher, &window);
    window.show();
    EventLog mainLog(*main);
    EventLog catcherLog(*catcher);
    QStringList caught;
    catcherLog.onBefore = [&](const QString& url, bool* cancel) {
        caught << url;
        main->navigate(url);
        *cancel = true;
    };
    mainLog.newWindowTarget = catcher;

    ASSERT_NO_FATAL_FAILURE(load(*main, mainLog, "/opener"));
    runScript(main->page(), "document.getElementById('a').click()");
    ASSERT_TRUE(waitUntil([&] { return mainLog.completed(server.url("/target")); }))
        << catcherLog.events.join('\n').toStdString();
    EXPECT_EQ(caught, QStringList{server.url("/target")});
    EXPECT_EQ(main->locationURL(), server.url("/target"));

    // The catcher is used again for the next window.
    runScript(main->page(), "window.open('/scripted'); 1");
    ASSERT_TRUE(waitUntil([&] { return mainLog.completed(server.url("/scripted")); }))
        << catcherLog.events.join('\n').toStdString();
    EXPECT_EQ(caught, (QStringList{server.url("/target"), server.url("/scripted")}));

    // Only the main page area fetched the pages; the catcher completed no document.
    EXPECT_EQ(server.requestsFor("/target"), 1);
    EXPECT_EQ(server.requestsFor("/scripted"), 1);
    for (const QString& event : catcherLog.events)
        EXPECT_FALSE(event.startsWith("complete http"))
            << catcherLog.events.join('\n').toStdString();
    EXPECT_FALSE(catcher->isVisible());
}

TEST_F(TEwbCoreTest, ScriptClosingItsWindowFiresWindowClosing) {
    TEwbCore opener(BrowserRole::PageArea);
    EventLog openerLog(opener);
    QPointer<TEwbCore> popup = new TEwbCore(BrowserRole::Popup);
    EventLog popupLog(*popup);
    // As a popup window does: gone once the event has returned.
    QObject::connect(popup, &BrowserControl::windowClosing, popup, &QObject::deleteLater);
    openerLog.newWindowTarget = popup;

    ASSERT_NO_FATAL_FAILURE(load(opener, openerLog, "/opener"));
    runScript(opener.page(), "window.open('/scripted'); 1");
    ASSERT_TRUE(waitUntil([&] { return popupLog.completed(server.url("/scripted")); }));
    EXPECT_EQ(popupLog.closings, 0);

    runScript(popup->page(), "window.close(); 1");
    ASSERT_TRUE(waitUntil([&] { return popup.isNull(); }));
    EXPECT_EQ(popupLog.closings, 1);
    EXPECT_FALSE(popupLog.closingIsChild);
    EXPECT_EQ(openerLog.closings, 0);

    // The opener lives on without its window.
    ASSERT_NO_FATAL_FAILURE(load(opener, openerLog, "/two"));
}

QStringList* capturedMessages = nullptr;

void captureMessage(QtMsgType, const QMessageLogContext& context, const QString& text) {
    if (capturedMessages)
        *capturedMessages << QString::fromUtf8(context.category) + ": " + text;
}

TEST_F(TEwbCoreTest, ScriptErrorsAreSilentAndScriptsGoOn) {
    server.add("/broken", "<html><head><title>before</title></head><body>"
                          "<script>console.log('chatter'); noSuchFunction();</script>"
                          "<script>document.title = 'after';</script></body></html>");
    TEwbCore browser(BrowserRole::PageArea);
    EventLog log(browser);

    QStringList messages;
    capturedMessages = &messages;
    const QtMessageHandler previous = qInstallMessageHandler(captureMessage);
    browser.navigate(server.url("/broken"));
    // The title is set after the error, so any message about it has arrived by then.
    const bool completed = waitUntil(
        [&] { return log.completed(server.url("/broken")) && browser.locationName() == "after"; });
    qInstallMessageHandler(previous);
    capturedMessages = nullptr;

    ASSERT_TRUE(completed);
    for (const QString& message : messages)
        EXPECT_FALSE(message.startsWith("js:")) << message.toStdString();
}

TEST_F(TEwbCoreTest, ControlNNeverReachesThePage) {
    server.add("/keys", "<html><body><script>var keys = '';"
                        "document.addEventListener('keydown', e => keys += (e.ctrlKey ? '^' : '')"
                        " + e.key.toLowerCase());</script></body></html>");
    TEwbCore browser(BrowserRole::PageArea);
    browser.resize(400, 300);
    browser.show();
    browser.activateWindow();
    EventLog log(browser);
    ASSERT_NO_FATAL_FAILURE(load(browser, log, "/keys"));

    QWidget* input = inputOf(browser);
    ASSERT_TRUE(input);
    input->setFocus();
    const auto press = [&](int key, Qt::KeyboardModifiers mods, const QString& text) {
        QKeyEvent down(QEvent::KeyPress, key, mods, text);
        QCoreApplication::sendEvent(input, &down);
        QKeyEvent up(QEvent::KeyRelease, key, mods, text);
        QCoreApplication::sendEvent(input, &up);
    };
    // The page takes keys only some time after it has loaded.
    ASSERT_TRUE(waitUntil([&] {
        press(Qt::Key_X, Qt::NoModifier, "x");
        return runScript(browser.page(), "keys").contains("x");
    }));
    runScript(browser.page(), "keys = ''");

    press(Qt::Key_N, Qt::ControlModifier, QString(QChar(14)));
    press(Qt::Key_N, Qt::ControlModifier | Qt::AltModifier, QString());
    press(Qt::Key_Y, Qt::NoModifier, "y");
    ASSERT_TRUE(waitUntil([&] { return runScript(browser.page(), "keys").contains("y"); }));
    // Ctrl+Alt+N is not the new-window key and passes.
    EXPECT_EQ(runScript(browser.page(), "keys"), "^ny");
}

// The loading indicator as the navigation bar drives it.
struct Indicator {
    explicit Indicator(BrowserControl& browser) {
        QObject::connect(&browser, &BrowserControl::beforeNavigate2, &browser,
                         [this](const QString&, bool*) { shown = true; });
        QObject::connect(&browser, &BrowserControl::loadingStopped, &browser,
                         [this] { shown = false; });
    }
    bool shown = false;
};

TEST_F(TEwbCoreTest, LoadingEndsAfterStopFailuresFramesAndRefusals) {
    server.addHanging("/slow");
    server.add("/framed", "<html><body><iframe id='f' src='/one'></iframe></body></html>");
    TEwbCore browser(BrowserRole::PageArea);
    EventLog log(browser);
    Indicator indicator(browser);

    ASSERT_NO_FATAL_FAILURE(load(browser, log, "/framed"));
    EXPECT_FALSE(indicator.shown);

    // A navigation inside a frame leaves the page as it was.
    runScript(browser.page(), "document.getElementById('f').src = '/two'; 1");
    ASSERT_TRUE(waitUntil([&] { return log.has("before " + server.url("/two")); }))
        << log.events.join('\n').toStdString();
    EXPECT_FALSE(indicator.shown);

    browser.navigate(server.url("/slow"));
    ASSERT_TRUE(waitUntil([&] { return server.requestsFor("/slow") == 1; }));
    EXPECT_TRUE(indicator.shown);
    browser.stop();
    EXPECT_TRUE(waitUntil([&] { return !indicator.shown; })) << "after Stop";

    const QString refused = test::refusedAddress();
    browser.navigate(refused);
    ASSERT_TRUE(waitUntil([&] { return log.has("before " + refused); }));
    EXPECT_TRUE(waitUntil([&] { return !indicator.shown; })) << "after a failed load";

    log.onBefore = [](const QString& url, bool* cancel) { *cancel = url.endsWith("/blocked"); };
    browser.navigate(server.url("/blocked"));
    EXPECT_TRUE(waitUntil([&] { return !indicator.shown; })) << "after a refused navigation";
}

TEST_F(TEwbCoreTest, UnreadableTextGetsTheEnginesOwnChineseErrorPage) {
    TEwbCore browser(BrowserRole::PageArea);
    EventLog log(browser);
    Indicator indicator(browser);
    ASSERT_NO_FATAL_FAILURE(load(browser, log, "/one"));

    log.events.clear();
    ASSERT_NO_THROW(browser.navigate("read the file.txt"));
    ASSERT_TRUE(waitUntil([&] {
        return log.events.count() >= 2 && log.events.last().startsWith("complete");
    })) << log.events.join('\n').toStdString();
    EXPECT_FALSE(indicator.shown);
    QString text;
    ASSERT_TRUE(waitUntil([&] {
        bool done = false;
        browser.page()->toPlainText([&](const QString& plain) {
            text = plain;
            done = true;
        });
        waitUntil([&] { return done; });
        return text.contains("ERR_NAME_NOT_RESOLVED");
    })) << text.toStdString();
    EXPECT_TRUE(text.contains("read%20the%20file.txt")) << text.toStdString();
    EXPECT_TRUE(text.contains("无法访问此网站")) << text.toStdString();
}

// Records what the engine hands to the desktop by itself.
class DesktopRecorder : public QObject {
    Q_OBJECT
public:
    QList<QUrl> opened;
public slots:
    void open(const QUrl& url) { opened << url; }
};

TEST_F(TEwbCoreTest, OtherProgramsStartOnlyAfterTheUserAgreed) {
    server.add("/external",
               "<html><body style='margin:0'>"
               "<a style='display:block;height:100px' href='koro-test://host/x'>x</a>"
               "<a style='display:block;height:100px' href='file:///etc/hostname'>f</a>"
               "</body></html>");
    FakeShellOpen shell;
    shell.handlers["koro-test"] = QStringLiteral("测试程序");
    QStringList questions;
    bool agree = false;
    ExternalOpener opener(shell,
                          [&](QWidget*, const QString& question,
                              const std::function<void(bool)>& answer) -> QObject* {
                              questions << question;
                              answer(agree);
                              return nullptr;
                          });
    DesktopRecorder desktop;
    QDesktopServices::setUrlHandler("koro-test", &desktop, "open");
    QDesktopServices::setUrlHandler("file", &desktop, "open");
    const std::unique_ptr<DesktopRecorder, void (*)(DesktopRecorder*)> unset(
        &desktop, [](DesktopRecorder*) {
            QDesktopServices::unsetUrlHandler("koro-test");
            QDesktopServices::unsetUrlHandler("file");
        });

    TEwbCore browser(BrowserRole::PageArea, nullptr, &opener);
    EventLog log(browser);
    Indicator indicator(browser);
    ASSERT_NO_FATAL_FAILURE(load(browser, log, "/external"));
    QWidget* input = inputOf(browser);
    ASSERT_TRUE(input);

    // The page takes clicks only some time after it has loaded.
    ASSERT_TRUE(waitUntil([&] {
        clickAt(input, {20, 50});
        return !questions.isEmpty();
    })) << log.events.join('\n').toStdString();
    waitUntil([] { return false; }, 300); // repeated clicks during the wait are dropped
    const qsizetype asked = questions.size();
    EXPECT_TRUE(questions.first().contains("koro-test://host/x"))
        << questions.first().toStdString();
    EXPECT_TRUE(questions.first().contains("测试程序")) << questions.first().toStdString();
    EXPECT_TRUE(shell.opened.isEmpty());
    EXPECT_FALSE(indicator.shown);

    agree = true;
    clickAt(input, {20, 50});
    ASSERT_TRUE(waitUntil([&] { return !shell.opened.isEmpty(); }));
    EXPECT_EQ(shell.opened, QStringList{"koro-test://host/x"});
    EXPECT_EQ(questions.size(), asked + 1);

    // A local file from a page is never handed over, and not even asked about.
    clickAt(input, {20, 150});
    waitUntil([] { return false; }, 1000);
    EXPECT_EQ(questions.size(), asked + 1);
    EXPECT_EQ(shell.opened.size(), 1);
    EXPECT_TRUE(desktop.opened.isEmpty()) << desktop.opened.first().toString().toStdString();
    EXPECT_EQ(browser.locationURL(), server.url("/external"));

    // The catcher passes a new window's address on through navigate(): asked about the same way.
    agree = false;
    browser.navigate("koro-test://host/window");
    ASSERT_TRUE(waitUntil([&] { return questions.size() == asked + 2; }));
    EXPECT_TRUE(questions.last().contains("koro-test://host/window"));
    EXPECT_EQ(shell.opened.size(), 1);
    EXPECT_FALSE(indicator.shown);
    EXPECT_TRUE(desktop.opened.isEmpty());
}

TEST(ExternalOpenerQuestions, OneAtATimeAndNeverForLocalFiles) {
    FakeShellOpen shell;
    QList<std::function<void(bool)>> answers;
    QObject* standsFor = nullptr;
    ExternalOpener opener(
        shell, [&](QWidget*, const QString&, const std::function<void(bool)>& answer) -> QObject* {
            answers << answer;
            return standsFor;
        });
    const auto settle = [] {
        for (int i = 0; i < 5; ++i)
            QCoreApplication::processEvents();
    };
    QWidget page;

    opener.request(QUrl("file:///etc/passwd"), &page);
    opener.request(QUrl("http://127.0.0.1/"), &page);
    settle();
    EXPECT_TRUE(answers.isEmpty());

    opener.request(QUrl("ssh://a"), &page);
    opener.request(QUrl("ssh://b"), &page); // while the first is open
    settle();
    ASSERT_EQ(answers.size(), 1);
    answers[0](true);
    answers[0](true); // a second answer changes nothing
    EXPECT_EQ(shell.opened, QStringList{"ssh://a"});

    // A question that goes away unanswered opens nothing and lets the next one through.
    auto question = std::make_unique<QObject>();
    standsFor = question.get();
    opener.request(QUrl("ssh://c"), &page);
    settle();
    ASSERT_EQ(answers.size(), 2);
    EXPECT_TRUE(opener.asking());
    question.reset();
    EXPECT_FALSE(opener.asking());
    answers[1](true);
    EXPECT_EQ(shell.opened, QStringList{"ssh://a"});
    standsFor = nullptr;

    // A page gone before its question came up asks nothing.
    auto closing = std::make_unique<QWidget>();
    opener.request(QUrl("ssh://d"), closing.get());
    closing.reset();
    settle();
    EXPECT_EQ(answers.size(), 2);
    opener.request(QUrl("ssh://e"), &page);
    settle();
    ASSERT_EQ(answers.size(), 3);
    answers[2](false);
    EXPECT_EQ(shell.opened, QStringList{"ssh://a"});
}

QStringList actionTexts(const QMenu* menu) {
    QStringList texts;
    for (const QAction* action : menu->actions()) {
        if (!action->isSeparator())
            texts << action->text();
    }
    return texts;
}

QAction* actionNamed(const QMenu* menu, const QString& text) {
    for (QAction* action : menu->actions()) {
        if (action->text() == text)
            return action;
    }
    return nullptr;
}

TEST_F(TEwbCoreTest, WindowsOpenedWithoutAClickAreLimitedButClickedOnesAreNot) {
    // 300 windows while loading once took every byte of memory.
    server.add("/storm", "<html><body style='margin:0'>"
                         "<a id='a' style='display:block;height:200px' href='/target' "
                         "target='_blank'>new</a><script>for (let i = 0; i < 60; ++i) "
                         "window.open('/scripted?' + i);</script></body></html>");
    auto limit = std::make_shared<UnrequestedWindowLimit>();
    TEwbCore browser(BrowserRole::PageArea, nullptr, nullptr, limit);
    EventLog log(browser);
    ASSERT_NO_FATAL_FAILURE(load(browser, log, "/storm"));
    QThread::msleep(300);
    QCoreApplication::processEvents();
    EXPECT_EQ(log.newWindows, UnrequestedWindowLimit::MaxWindows);
    EXPECT_EQ(runScript(browser.page(), "String(1 + 1)"), "2") << "the page keeps working";

    // The user's own click opens its window all the same.
    EXPECT_TRUE(clickUntil(browser, {20, 50},
                           [&] { return log.newWindows > UnrequestedWindowLimit::MaxWindows; }));
}

TEST(UnrequestedWindowLimit, AFewPerPeriodThenMoreOnceItHasPassed) {
    auto now = std::chrono::steady_clock::time_point{};
    UnrequestedWindowLimit limit([&] { return now; });
    for (int i = 0; i < UnrequestedWindowLimit::MaxWindows; ++i)
        EXPECT_TRUE(limit.allow());
    EXPECT_FALSE(limit.allow());
    now += UnrequestedWindowLimit::Period - std::chrono::milliseconds(1);
    EXPECT_FALSE(limit.allow()) << "refusals do not count, but the period is not over";
    now += std::chrono::milliseconds(1);
    EXPECT_TRUE(limit.allow());
}

// What a page's question showed, answered with the button of the given text.
struct Question {
    QString title;
    QString text;
    Qt::TextFormat format = Qt::AutoText;
    QStringList buttons;
    QString given;
    QWidget* owner = nullptr;
    Qt::WindowModality modality = Qt::NonModal;
    QSize size;
};

std::shared_ptr<Question> answerNextQuestion(const QString& press, const QString& type = {}) {
    auto seen = std::make_shared<Question>();
    test::answerNextModal<PageDialog>([seen, press, type](PageDialog* dialog) {
        const auto* text = dialog->findChild<QLabel*>("message");
        seen->title = dialog->windowTitle();
        seen->text = text->text();
        seen->format = text->textFormat();
        seen->owner = dialog->parentWidget();
        seen->modality = dialog->windowModality();
        seen->size = dialog->sizeHint();
        if (auto* value = dialog->findChild<QLineEdit*>("value")) {
            seen->given = value->text();
            value->setText(type);
        }
        for (QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons())
            seen->buttons << button->text();
        for (QAbstractButton* button : dialog->findChild<QDialogButtonBox*>()->buttons()) {
            if (button->text() == press)
                button->click();
        }
    });
    return seen;
}

TEST_F(TEwbCoreTest, PageQuestionsAreChineseNameTheHostAndShowThePagesTextAsIs) {
    server.add("/leave", "<html><body style='margin:0' onclick=\"document.title = 'active'\">"
                         "<div style='height:200px'>x</div><script>onbeforeunload = e => {"
                         "e.preventDefault(); e.returnValue = ''; };</script></body></html>");
    QWidget window; // shows the page
    window.resize(400, 300);
    auto* browser = new TEwbCore(BrowserRole::PageArea, &window);
    browser->resize(400, 300);
    window.show();
    EventLog log(*browser);
    ASSERT_NO_FATAL_FAILURE(load(*browser, log, "/one"));

    const QString markup = QStringLiteral("<b>粗</b><img src=x>\\nnext");
    const QStringList both{"确定", "取消"};
    struct Case {
        QString call;
        QString press;
        QString type;
        QStringList buttons;
        QString answer;
    };
    const Case cases[] = {
        {"alert('%1'); 'after'", "确定", {}, {"确定"}, "after"},
        {"String(confirm('%1'))", "确定", {}, both, "true"},
        {"String(confirm('%1'))", "取消", {}, both, "false"},
        {"String(prompt('%1', 'given'))", "确定", "typed", both, "typed"},
        {"String(prompt('%1', 'given'))", "取消", "typed", both, "null"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE((c.call + ' ' + c.press).toStdString());
        const auto seen = answerNextQuestion(c.press, c.type);
        EXPECT_EQ(runScript(browser->page(), c.call.arg(markup)), c.answer);
        EXPECT_EQ(seen->title, "来自 127.0.0.1 的网页消息");
        EXPECT_EQ(seen->text, "<b>粗</b><img src=x>\nnext");
        EXPECT_EQ(seen->format, Qt::PlainText);
        EXPECT_EQ(seen->buttons, c.buttons);
        EXPECT_EQ(seen->owner, &window);
        EXPECT_EQ(seen->modality, Qt::WindowModal);
        if (c.call.startsWith("String(prompt"))
            EXPECT_EQ(seen->given, "given");
    }

    // However long the page's text, the buttons stay on the screen.
    const auto seen = answerNextQuestion("确定");
    runScript(browser->page(), "alert('line\\n'.repeat(500) + 'x'.repeat(5000)); 1");
    const QSize screen = window.screen()->availableGeometry().size();
    EXPECT_LE(seen->size.width(), screen.width());
    EXPECT_LE(seen->size.height(), screen.height());

    // Leaving a page that wants to stay, once the user has used it: 取消 stays, 确定 leaves.
    ASSERT_NO_FATAL_FAILURE(load(*browser, log, "/leave"));
    ASSERT_TRUE(
        clickUntil(*browser, {20, 50}, [&] { return browser->locationName() == "active"; }));
    for (const QString press : {"取消", "确定"}) {
        const auto leave = answerNextQuestion(press);
        // The engine drops a navigation asked for while it still winds up one refused before.
        ASSERT_TRUE(waitUntil([&] {
            browser->navigate(server.url("/two"));
            return waitUntil([&] { return !leave->title.isEmpty(); }, 2000);
        }));
        EXPECT_EQ(leave->title, "来自 127.0.0.1 的网页消息");
        EXPECT_TRUE(leave->text.contains("离开")) << leave->text.toStdString();
        EXPECT_EQ(leave->buttons, both);
    }
    EXPECT_TRUE(waitUntil([&] { return log.completed(server.url("/two")); }));
    EXPECT_EQ(server.requestsFor("/two"), 1) << "取消 stayed";
    test::dropPendingAnswers();
}

TEST_F(TEwbCoreTest, ContextMenuActsOnWhatIsUnderThePointer) {
    server.add("/menu", "<html><body style='margin:0'>"
                        "<a style='display:block;height:100px' href='/target'>link</a>"
                        "<input id='i' style='display:block;height:50px;width:300px' value='typed'>"
                        "<div style='height:100px'>plain</div></body></html>");
    TEwbCore browser(BrowserRole::PageArea);
    EventLog log(browser);
    QPointer<QMenu> menu;
    QStringList offered;
    QObject::connect(&browser, &BrowserControl::contextMenuAboutToShow, [&](QMenu* shown) {
        offered = actionTexts(shown);
        // Other features add their own items here.
        shown->addAction(QStringLiteral("定时观看..."));
        menu = shown;
    });
    ASSERT_NO_FATAL_FAILURE(load(browser, log, "/menu"));
    const auto menuAt = [&](QPoint at) {
        if (menu)
            menu->close();
        menu = nullptr;
        return clickUntil(
            browser, at, [&] { return !menu.isNull(); }, Qt::RightButton);
    };

    ASSERT_TRUE(menuAt({20, 50}));
    EXPECT_EQ(offered, (QStringList{"在新窗口中打开", "复制链接地址"}));
    EXPECT_TRUE(actionNamed(menu, "定时观看..."));
    EXPECT_TRUE(menu->isVisible());
    QGuiApplication::clipboard()->clear();
    actionNamed(menu, "复制链接地址")->trigger();
    EXPECT_TRUE(waitUntil([] { return !QGuiApplication::clipboard()->text().isEmpty(); }));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), server.url("/target"));
    actionNamed(menu, "在新窗口中打开")->trigger();
    // The new window goes the way of any other: the handler decides where it opens.
    EXPECT_TRUE(waitUntil([&] { return log.newWindows == 1; }));

    ASSERT_TRUE(menuAt({20, 200}));
    EXPECT_EQ(offered, (QStringList{"后退", "前进", "刷新", "全选"}));
    EXPECT_FALSE(actionNamed(menu, "后退")->isEnabled()) << "no history yet";
    actionNamed(menu, "刷新")->trigger();
    EXPECT_TRUE(waitUntil([&] { return server.requestsFor("/menu") == 2; }));
    ASSERT_TRUE(
        waitUntil([&] { return log.events.count("complete " + server.url("/menu")) == 2; }));

    QGuiApplication::clipboard()->setText(QStringLiteral("粘贴的文字"));
    runScript(browser.page(), "var i = document.getElementById('i'); i.focus(); i.select(); 1");
    ASSERT_TRUE(menuAt({20, 125}));
    EXPECT_EQ(offered, (QStringList{"撤销", "剪切", "复制", "粘贴", "全选"}));
    actionNamed(menu, "粘贴")->trigger();
    EXPECT_TRUE(waitUntil([&] {
        return runScript(browser.page(), "document.getElementById('i').value") == "粘贴的文字";
    }));
    menu->close();
}

} // namespace
} // namespace koro

#include "test_tewbcore.moc"
