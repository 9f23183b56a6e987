// The X11 backends against a private Xvfb. ui_tests normally runs offscreen; the parent test
// starts Xvfb and runs this same binary on it, where the OnXvfb tests do the work.

#include "platform/linux/LinuxDisplayModes.h"
#include "platform/linux/LinuxGlobalHotkeys.h"
#include "platform/linux/LinuxScreenSaver.h"

#include "support/Wait.h"
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <X11/extensions/scrnsaver.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <cstdlib>
#include <functional>
#include <iostream>

namespace {

using koro::hotkey::KeyF8;
using koro::hotkey::KeyF9;
using koro::hotkey::KeyHome;
using koro::hotkey::KeyQ;
using koro::hotkey::ModControl;

bool onX11() {
    return QGuiApplication::platformName() == "xcb";
}

using koro::test::waitUntil;

bool xdotool(const QStringList& arguments) {
    QProcess process;
    process.start("xdotool", arguments);
    return process.waitForFinished(30000) && process.exitCode() == 0;
}

// A second X client, as another program on the same desktop would be.
class OtherClient {
public:
    OtherClient()
        : m_display(XOpenDisplay(nullptr)) {}
    ~OtherClient() {
        if (m_display)
            XCloseDisplay(m_display);
    }
    Display* display() const { return m_display; }
    Window root() const { return DefaultRootWindow(m_display); }

    QSize screenSize() const {
        Window ignored = None;
        int x = 0, y = 0;
        unsigned width = 0, height = 0, border = 0, depth = 0;
        XGetGeometry(m_display, root(), &ignored, &x, &y, &width, &height, &border, &depth);
        return QSize(int(width), int(height));
    }
    // The size the output's CRTC shows; empty when the CRTC is off.
    QSize crtcSize() const {
        XRRScreenResources* resources = XRRGetScreenResourcesCurrent(m_display, root());
        QSize size;
        for (int i = 0; i < resources->ncrtc; ++i) {
            XRRCrtcInfo* crtc = XRRGetCrtcInfo(m_display, resources, resources->crtcs[i]);
            if (crtc->mode != None)
                size = QSize(int(crtc->width), int(crtc->height));
            XRRFreeCrtcInfo(crtc);
        }
        XRRFreeScreenResources(resources);
        return size;
    }
    // Lists a new mode on the first output; it lasts as long as this client.
    void addMode(int width, int height) {
        XRRScreenResources* resources = XRRGetScreenResourcesCurrent(m_display, root());
        QByteArray name = QByteArray::number(width) + "x" + QByteArray::number(height) + "_t";
        XRRModeInfo info{};
        info.width = unsigned(width);
        info.height = unsigned(height);
        info.hSyncStart = info.width + 48;
        info.hSyncEnd = info.width + 80;
        info.hTotal = info.width + 160;
        info.vSyncStart = info.height + 3;
        info.vSyncEnd = info.height + 9;
        info.vTotal = info.height + 30;
        info.dotClock = static_cast<unsigned long>(info.hTotal) * info.vTotal * 60;
        info.name = name.data();
        info.nameLength = unsigned(name.size());
        const RRMode mode = XRRCreateMode(m_display, root(), &info);
        XRRAddOutputMode(m_display, resources->outputs[0], mode);
        XSync(m_display, False);
        XRRFreeScreenResources(resources);
    }

private:
    Display* m_display;
};

class OnXvfb : public ::testing::Test {
protected:
    void SetUp() override {
        if (!onX11())
            GTEST_SKIP() << "runs in the Xvfb child of X11Backends.PassUnderXvfb";
    }
};

TEST_F(OnXvfb, HotkeysArriveWhateverTheLockKeys) {
    if (QStandardPaths::findExecutable("xdotool").isEmpty())
        GTEST_SKIP() << "xdotool is not installed";
    koro::LinuxGlobalHotkeys hotkeys;
    QList<QPair<std::uint16_t, std::uint16_t>> pressed;
    QObject::connect(&hotkeys, &koro::GlobalHotkeys::hotKeyPressed,
                     [&](std::uint16_t mods, std::uint16_t key) {
                         pressed.append({mods, key});
                     });
    ASSERT_TRUE(hotkeys.registerHotKey(1, ModControl, KeyQ));
    ASSERT_TRUE(hotkeys.registerHotKey(2, 0, KeyF9));
    ASSERT_TRUE(hotkeys.registerHotKey(3, 0, KeyHome));

    using Press = QPair<std::uint16_t, std::uint16_t>;
    const struct {
        QStringList keys;
        QList<Press> pressed;
    } rounds[] = {
        {{"F9", "ctrl+q", "Home"}, {{0, KeyF9}, {ModControl, KeyQ}, {0, KeyHome}}},
        // A plain q is not ctrl+q, and CapsLock / NumLock do not stop a hotkey.
        {{"q", "Caps_Lock", "F9", "Caps_Lock", "Num_Lock", "ctrl+q", "Num_Lock"},
         {{0, KeyF9}, {ModControl, KeyQ}}},
    };
    for (const auto& round : rounds) {
        pressed.clear();
        ASSERT_TRUE(xdotool(QStringList{"key"} + round.keys));
        ASSERT_TRUE(waitUntil([&] { return pressed.size() >= round.pressed.size(); }));
        EXPECT_EQ(pressed, round.pressed) << round.keys.join(' ').toStdString();
    }

    // Once unregistered, F9 no longer arrives (Home, pressed after it, shows F9 was handled).
    pressed.clear();
    hotkeys.unregisterHotKey(2);
    ASSERT_TRUE(xdotool({"key", "F9", "Home"}));
    ASSERT_TRUE(waitUntil([&] { return !pressed.isEmpty(); }));
    EXPECT_EQ(pressed.first(), qMakePair(std::uint16_t(0), KeyHome));
}

TEST_F(OnXvfb, KeyHeldByAnotherProgramIsRefusedWithoutHalfAGrab) {
    int screen = 0;
    xcb_connection_t* other = xcb_connect(nullptr, &screen);
    ASSERT_EQ(xcb_connection_has_error(other), 0);
    xcb_screen_iterator_t it = xcb_setup_roots_iterator(xcb_get_setup(other));
    for (int i = 0; i < screen; ++i)
        xcb_screen_next(&it);
    const xcb_window_t root = it.data->root;
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(other);
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, XK_F8);
    ASSERT_TRUE(codes && codes[0] != XCB_NO_SYMBOL);
    const xcb_keycode_t f8 = codes[0];
    std::free(codes);
    xcb_key_symbols_free(symbols);
    // The error code of a grab of F8 by a client, 0 when it got the key.
    const auto grab = [&](std::uint16_t mods, xcb_connection_t* client) {
        xcb_generic_error_t* error = xcb_request_check(
            client, xcb_grab_key_checked(client, 1, root, mods, f8, XCB_GRAB_MODE_ASYNC,
                                         XCB_GRAB_MODE_ASYNC));
        const int code = error ? error->error_code : 0;
        std::free(error);
        return code;
    };

    // The other program holds plain F8 only.
    ASSERT_EQ(grab(0, other), 0);
    {
        koro::LinuxGlobalHotkeys hotkeys;
        EXPECT_FALSE(hotkeys.registerHotKey(1, 0, KeyF8));
        EXPECT_TRUE(hotkeys.registerHotKey(2, 0, KeyF9)) << "other keys are unaffected";
        // The lock variants that did succeed were given back at once.
        EXPECT_EQ(grab(XCB_MOD_MASK_LOCK, other), 0);
        EXPECT_EQ(grab(XCB_MOD_MASK_2, other), 0);
    }
    xcb_disconnect(other);

    // Free again: now the key can be had.
    koro::LinuxGlobalHotkeys hotkeys;
    EXPECT_TRUE(hotkeys.registerHotKey(1, 0, KeyF8));
    xcb_connection_t* third = xcb_connect(nullptr, &screen);
    EXPECT_EQ(grab(XCB_MOD_MASK_2, third), XCB_ACCESS) << "the NumLock variant must be grabbed too";
    xcb_disconnect(third);
}

TEST_F(OnXvfb, DisplaySwitchesOnlyToListedSizes) {
    OtherClient helper;
    ASSERT_NE(helper.display(), nullptr);
    ASSERT_EQ(helper.screenSize(), QSize(1680, 1050))
        << "Xvfb must run with -screen 0 1680x1050x24";
    helper.addMode(1280, 1024);
    helper.addMode(1920, 1200); // listed, but larger than the screen may grow

    koro::LinuxDisplayModes display;
    const struct {
        QSize asked;
        bool switched;
        QSize after;
    } steps[] = {
        {{800, 600}, false, {1680, 1050}},   // not listed
        {{1920, 1200}, false, {1680, 1050}}, // beyond the screen size range
        {{1280, 1024}, true, {1280, 1024}},
        {{1280, 1024}, true, {1280, 1024}}, // asking for the current size succeeds
        {{1680, 1050}, true, {1680, 1050}},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.asked.width());
        EXPECT_EQ(display.setResolution(s.asked.width(), s.asked.height()), s.switched);
        EXPECT_EQ(helper.screenSize(), s.after);
        EXPECT_EQ(helper.crtcSize(), s.after) << "a refusal must leave the display on";
    }
}

TEST_F(OnXvfb, ScreenSaverIsSuspendedOnlyWhileAsked) {
    OtherClient helper;
    ASSERT_NE(helper.display(), nullptr);
    int eventBase = 0, errorBase = 0;
    if (!XScreenSaverQueryExtension(helper.display(), &eventBase, &errorBase))
        GTEST_SKIP() << "the X server has no MIT-SCREEN-SAVER extension";
    XSetScreenSaver(helper.display(), 2, 0, DontPreferBlanking, AllowExposures);
    XSync(helper.display(), False);
    const auto stateAfterIdle = [&] {
        XResetScreenSaver(helper.display());
        XSync(helper.display(), False);
        QThread::msleep(3000); // the server's own 2 s timeout has to pass
        XScreenSaverInfo* info = XScreenSaverAllocInfo();
        XScreenSaverQueryInfo(helper.display(), helper.root(), info);
        const int state = info->state;
        XFree(info);
        return state;
    };

    koro::LinuxScreenSaver saver;
    saver.setActive(false);
    saver.setActive(false); // twice must not need two releases
    EXPECT_NE(stateAfterIdle(), ScreenSaverOn);
    saver.setActive(true);
    EXPECT_EQ(stateAfterIdle(), ScreenSaverOn);
    XForceScreenSaver(helper.display(), ScreenSaverReset);
    XSync(helper.display(), False);
}

TEST(X11Backends, PassUnderXvfb) {
    if (onX11())
        GTEST_SKIP() << "this is the child";
    if (QStandardPaths::findExecutable("Xvfb").isEmpty())
        GTEST_SKIP() << "Xvfb is not installed";
    QProcess xvfb;
    xvfb.start("Xvfb", {"-displayfd", "1", "-screen", "0", "1680x1050x24", "-nolisten", "tcp"});
    ASSERT_TRUE(xvfb.waitForStarted(10000));
    while (!xvfb.canReadLine())
        ASSERT_TRUE(xvfb.waitForReadyRead(30000)) << "Xvfb did not report its display";
    const QString display = ":" + QString::fromLatin1(xvfb.readLine()).trimmed();

    QTemporaryDir runtime;
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_RUNTIME_DIR", runtime.path());
    env.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + runtime.filePath("no-bus"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=OnXvfb.*"});
    const bool finished = child.waitForFinished(300000);
    const std::string output = child.readAll().toStdString();
    xvfb.terminate();
    xvfb.waitForFinished(10000);
    ASSERT_TRUE(finished) << output;
    EXPECT_EQ(child.exitCode(), 0) << output;
    EXPECT_NE(output.find("[       OK ] OnXvfb."), std::string::npos) << output;
    std::cout << output;
}

} // namespace
