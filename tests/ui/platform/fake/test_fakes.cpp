#include "config/Error.h"
#include "platform/fake/FakePlatform.h"
#include "webengine/fake/FakeBrowserControl.h"

#include <QCoreApplication>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>

namespace {

using koro::BrowserRole;
using koro::FakeBrowserControl;

// The fakes drive most window tests; these pin down the behaviour those tests rely on.

TEST(FakeBrowser, AutoCompleteFinishesFromTheEventLoopUnlessCancelled) {
    FakeBrowserControl browser(BrowserRole::PageArea);
    browser.autoComplete = true;
    QStringList completed;
    QObject::connect(&browser, &koro::BrowserControl::documentComplete,
                     [&](const QString& url) { completed.append(url); });
    QObject::connect(&browser, &koro::BrowserControl::beforeNavigate2,
                     [](const QString& url, bool* cancel) { *cancel = url.contains("blocked"); });

    browser.navigate("http://127.0.0.1/a");
    browser.navigate("http://127.0.0.1/blocked");
    EXPECT_TRUE(completed.isEmpty()) << "completion must not happen inside navigate()";
    QCoreApplication::processEvents();
    EXPECT_EQ(completed, QStringList{"http://127.0.0.1/a"});
    EXPECT_EQ(browser.locationURL(), "http://127.0.0.1/a");
    EXPECT_EQ(browser.navigations, (QStringList{"http://127.0.0.1/a", "http://127.0.0.1/blocked"}));
}

TEST(FakeBrowser, DriversReturnWhatTheHandlersDecided) {
    FakeBrowserControl browser(BrowserRole::Catcher);
    FakeBrowserControl target(BrowserRole::Popup);
    QObject::connect(&browser, &koro::BrowserControl::newWindow2,
                     [&](koro::BrowserControl** into, bool*) { *into = &target; });
    QObject::connect(&browser, &koro::BrowserControl::windowClosing,
                     [](bool isChild, bool* cancel) { *cancel = !isChild; });
    bool cancelled = true;
    EXPECT_EQ(browser.fireNewWindow2(&cancelled), &target);
    EXPECT_FALSE(cancelled);
    EXPECT_TRUE(browser.fireWindowClosing(false));
    EXPECT_FALSE(browser.fireWindowClosing(true));

    browser.throwOnNavigate = true;
    EXPECT_THROW(browser.navigate("http://127.0.0.1/"), koro::Error);
    EXPECT_TRUE(browser.navigations.isEmpty());
}

TEST(FakeBrowser, FactoryForgetsControlsTheirParentDeleted) {
    koro::FakeBrowserFactory factory;
    factory.autoComplete = true;
    auto parent = std::make_unique<QWidget>();
    QWidget other;
    auto* page = factory.create(BrowserRole::PageArea, parent.get());
    auto* popupA = factory.create(BrowserRole::Popup, parent.get());
    auto* popupB = factory.create(BrowserRole::Popup, &other);
    EXPECT_EQ(page->parent(), parent.get());
    EXPECT_EQ(factory.instance(BrowserRole::PageArea), page);
    EXPECT_TRUE(factory.instance(BrowserRole::PageArea)->autoComplete);
    EXPECT_EQ(factory.instance(BrowserRole::Popup), popupB);
    EXPECT_EQ(factory.instances(BrowserRole::Popup).size(), 2);
    EXPECT_EQ(factory.instance(BrowserRole::Catcher), nullptr);

    parent.reset();
    EXPECT_EQ(factory.instance(BrowserRole::PageArea), nullptr);
    EXPECT_EQ(factory.instances(BrowserRole::Popup),
              QList<FakeBrowserControl*>{static_cast<FakeBrowserControl*>(popupB)});
    (void)popupA;
}

TEST(FakePlatformBundle, FillsEverySlotAndObservesTheSameObjects) {
    auto fake = koro::makeFakePlatform("/tmp/koro-fake-favorites");
    koro::Platform& p = *fake.platform;
    EXPECT_EQ(p.singleInstance.get(), fake.singleInstance);
    EXPECT_EQ(p.screenSaver.get(), fake.screenSaver);
    EXPECT_EQ(p.autostart.get(), fake.autostart);
    EXPECT_EQ(p.memoryTrim.get(), fake.memoryTrim);
    EXPECT_EQ(p.platformInfo.get(), fake.platformInfo);
    EXPECT_EQ(p.shell.get(), fake.shell);
    EXPECT_EQ(p.favorites.get(), fake.favorites);
    EXPECT_EQ(p.hotkeys.get(), fake.hotkeys.data());
    EXPECT_EQ(p.display.get(), fake.display);
    EXPECT_EQ(p.mixer.get(), fake.mixer);
    EXPECT_EQ(p.alarm.get(), fake.alarm);
    EXPECT_EQ(p.power.get(), fake.power);
    EXPECT_EQ(p.tray.get(), fake.tray.data());
    EXPECT_EQ(p.favorites->folder(), "/tmp/koro-fake-favorites");

    // The window drops the tray when it closes; the observer must not dangle.
    p.tray.reset();
    EXPECT_TRUE(fake.tray.isNull());
}

TEST(FakeHotkeys, OnlyGrabbedKeysArriveAndHeldKeysAreRefused) {
    koro::FakeGlobalHotkeys hotkeys;
    hotkeys.heldElsewhere.insert({0, koro::hotkey::KeyF8});
    QList<std::uint16_t> pressed;
    QObject::connect(&hotkeys, &koro::GlobalHotkeys::hotKeyPressed,
                     [&](std::uint16_t, std::uint16_t key) { pressed.append(key); });

    EXPECT_TRUE(hotkeys.registerHotKey(1, 0, koro::hotkey::KeyF9));
    EXPECT_FALSE(hotkeys.registerHotKey(2, 0, koro::hotkey::KeyF8));
    EXPECT_TRUE(hotkeys.fire(0, koro::hotkey::KeyF9));
    EXPECT_FALSE(hotkeys.fire(0, koro::hotkey::KeyF8));
    EXPECT_FALSE(hotkeys.fire(koro::hotkey::ModControl, koro::hotkey::KeyF9));
    hotkeys.unregisterHotKey(1);
    EXPECT_FALSE(hotkeys.fire(0, koro::hotkey::KeyF9));
    EXPECT_EQ(pressed, QList<std::uint16_t>{koro::hotkey::KeyF9});
}

TEST(FakeServices, MixerAndDisplayAnswerLikeTheRealOnes) {
    koro::FakeMixer mixer;
    bool muted = false;
    EXPECT_EQ(mixer.setMute(koro::MixerLine::Master, true), koro::MixerStatus::Ok);
    EXPECT_EQ(mixer.getMute(koro::MixerLine::Master, muted), koro::MixerStatus::Ok);
    EXPECT_TRUE(muted);
    EXPECT_FALSE(mixer.isMuted(koro::MixerLine::Microphone));
    mixer.status = koro::MixerStatus::NoMixer;
    EXPECT_EQ(mixer.setMute(koro::MixerLine::Master, false), koro::MixerStatus::NoMixer);
    EXPECT_TRUE(mixer.isMuted(koro::MixerLine::Master)) << "a failed call must change nothing";
    EXPECT_EQ(mixer.calls.size(), 3);

    koro::FakeDisplayModes display;
    display.supported = {QSize(1024, 768)};
    display.current = QSize(1680, 1050);
    EXPECT_FALSE(display.setResolution(800, 600));
    EXPECT_EQ(display.current, QSize(1680, 1050));
    EXPECT_TRUE(display.setResolution(1024, 768));
    EXPECT_EQ(display.current, QSize(1024, 768));
    EXPECT_EQ(display.requests, (QList<QSize>{QSize(800, 600), QSize(1024, 768)}));
}

} // namespace
