#pragma once

// Xlib's own name for its display type, declared here to keep Xlib out of the header.
typedef struct _XDisplay Display; // NOLINT(bugprone-reserved-identifier)
struct xcb_connection_t;

namespace koro::x11 {

// The X connection Qt itself uses, or nullptr when the application does not run on X11
// (offscreen, Wayland) or no QGuiApplication exists.
Display* display();
xcb_connection_t* connection();

// The connection when the server has the extension queryExtension (such as XRRQueryExtension)
// asks for; nullptr otherwise.
using ExtensionQuery = int (*)(Display*, int*, int*);
Display* displayWith(ExtensionQuery queryExtension);

} // namespace koro::x11
