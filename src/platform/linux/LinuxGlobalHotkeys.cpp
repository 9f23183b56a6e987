#include "platform/linux/LinuxGlobalHotkeys.h"

#include "platform/linux/X11Connection.h"

#include <QCoreApplication>

#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <array>
#include <cstdlib>
#include <memory>

namespace koro {

namespace {

// Hotkey-table modifier bits.
constexpr std::uint16_t ModAlt = 0x0001;
constexpr std::uint16_t ModShift = 0x0004;
constexpr std::uint16_t ModWin = 0x0008;

// CapsLock and NumLock must not stop a hotkey, so each grab is repeated with them set.
constexpr std::array<std::uint16_t, 4> lockVariants = {0, XCB_MOD_MASK_LOCK, XCB_MOD_MASK_2,
                                                       XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2};
constexpr std::uint16_t lockMask = XCB_MOD_MASK_LOCK | XCB_MOD_MASK_2;

std::uint16_t xModifiersOf(std::uint16_t modifiers) {
    std::uint16_t mask = 0;
    if (modifiers & ModAlt)
        mask |= XCB_MOD_MASK_1;
    if (modifiers & hotkey::ModControl)
        mask |= XCB_MOD_MASK_CONTROL;
    if (modifiers & ModShift)
        mask |= XCB_MOD_MASK_SHIFT;
    if (modifiers & ModWin)
        mask |= XCB_MOD_MASK_4;
    return mask;
}

xcb_keysym_t keysymOf(std::uint16_t virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return XK_a + (virtualKey - 'A');
    if (virtualKey >= '0' && virtualKey <= '9')
        return XK_0 + (virtualKey - '0');
    if (virtualKey >= 0x70 && virtualKey <= 0x87) // F1 .. F24
        return XK_F1 + (virtualKey - 0x70);
    switch (virtualKey) {
    case 0x08:
        return XK_BackSpace;
    case 0x09:
        return XK_Tab;
    case 0x0D:
        return XK_Return;
    case 0x13:
        return XK_Pause;
    case 0x1B:
        return XK_Escape;
    case 0x20:
        return XK_space;
    case 0x21:
        return XK_Prior;
    case 0x22:
        return XK_Next;
    case 0x23:
        return XK_End;
    case 0x24:
        return XK_Home;
    case 0x25:
        return XK_Left;
    case 0x26:
        return XK_Up;
    case 0x27:
        return XK_Right;
    case 0x28:
        return XK_Down;
    case 0x2D:
        return XK_Insert;
    case 0x2E:
        return XK_Delete;
    default:
        return XCB_NO_SYMBOL;
    }
}

xcb_window_t rootWindow() {
    Display* display = x11::display();
    return display ? DefaultRootWindow(display) : xcb_window_t(XCB_WINDOW_NONE);
}

QList<std::uint8_t> keycodesOf(xcb_connection_t* connection, xcb_keysym_t keysym) {
    QList<std::uint8_t> result;
    using Symbols = std::unique_ptr<xcb_key_symbols_t, decltype(&xcb_key_symbols_free)>;
    Symbols symbols(xcb_key_symbols_alloc(connection), &xcb_key_symbols_free);
    if (!symbols)
        return result;
    std::unique_ptr<xcb_keycode_t, decltype(&std::free)> codes(
        xcb_key_symbols_get_keycode(symbols.get(), keysym), &std::free);
    for (const xcb_keycode_t* code = codes.get(); code && *code != XCB_NO_SYMBOL; ++code)
        if (!result.contains(*code))
            result.append(*code);
    return result;
}

} // namespace

LinuxGlobalHotkeys::LinuxGlobalHotkeys(QObject* parent)
    : GlobalHotkeys(parent) {
    if (auto* app = QCoreApplication::instance())
        app->installNativeEventFilter(this);
}

LinuxGlobalHotkeys::~LinuxGlobalHotkeys() {
    for (const Grab& grab : std::as_const(m_grabs))
        ungrab(grab);
    if (auto* app = QCoreApplication::instance())
        app->removeNativeEventFilter(this);
}

bool LinuxGlobalHotkeys::registerHotKey(int id, std::uint16_t modifiers, std::uint16_t virtualKey) {
    unregisterHotKey(id);
    Grab grab{modifiers, virtualKey, xModifiersOf(modifiers), {}};
    m_grabs.insert(id, grab);

    xcb_connection_t* connection = x11::connection();
    const xcb_window_t root = rootWindow();
    const xcb_keysym_t keysym = keysymOf(virtualKey);
    if (!connection || root == XCB_WINDOW_NONE || keysym == XCB_NO_SYMBOL)
        return false;
    const QList<std::uint8_t> keycodes = keycodesOf(connection, keysym);
    if (keycodes.isEmpty())
        return false;

    QList<xcb_void_cookie_t> cookies;
    for (std::uint8_t keycode : keycodes)
        for (std::uint16_t variant : lockVariants)
            cookies.append(xcb_grab_key_checked(connection, 1, root, grab.xModifiers | variant,
                                                keycode, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    bool refused = false;
    for (const xcb_void_cookie_t& cookie : cookies) {
        // Any error means the combination is not ours; BadAccess is another client's grab.
        if (xcb_generic_error_t* error = xcb_request_check(connection, cookie)) {
            refused = true;
            std::free(error);
        }
    }
    grab.keycodes = keycodes;
    if (refused) {
        // Half a hotkey is worse than none: drop the variants that did succeed.
        ungrab(grab);
        return false;
    }
    m_grabs[id] = grab;
    return true;
}

void LinuxGlobalHotkeys::unregisterHotKey(int id) {
    const auto it = m_grabs.constFind(id);
    if (it == m_grabs.cend())
        return;
    ungrab(*it);
    m_grabs.erase(it);
}

void LinuxGlobalHotkeys::ungrab(const Grab& grab) {
    xcb_connection_t* connection = x11::connection();
    const xcb_window_t root = rootWindow();
    if (!connection || root == XCB_WINDOW_NONE || grab.keycodes.isEmpty())
        return;
    // Ungrabbing only ever releases this client's own grabs.
    for (std::uint8_t keycode : grab.keycodes)
        for (std::uint16_t variant : lockVariants)
            xcb_ungrab_key(connection, keycode, root, grab.xModifiers | variant);
    xcb_flush(connection);
}

bool LinuxGlobalHotkeys::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    if (eventType != "xcb_generic_event_t")
        return false;
    const auto* event = static_cast<const xcb_generic_event_t*>(message);
    if ((event->response_type & ~0x80) != XCB_KEY_PRESS)
        return false;
    const auto* press = static_cast<const xcb_key_press_event_t*>(message);
    const std::uint16_t state =
        press->state & ~lockMask &
        (XCB_MOD_MASK_SHIFT | XCB_MOD_MASK_CONTROL | XCB_MOD_MASK_1 | XCB_MOD_MASK_4);
    for (const Grab& grab : std::as_const(m_grabs)) {
        if (grab.xModifiers == state && grab.keycodes.contains(press->detail)) {
            emit hotKeyPressed(grab.modifiers, grab.virtualKey);
            return true;
        }
    }
    return false;
}

} // namespace koro
