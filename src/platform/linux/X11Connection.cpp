#include "platform/linux/X11Connection.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

namespace koro::x11 {

namespace {
QNativeInterface::QX11Application* x11App() {
    if (!qGuiApp)
        return nullptr;
    return qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
}
} // namespace

Display* display() {
    auto* app = x11App();
    return app ? app->display() : nullptr;
}

xcb_connection_t* connection() {
    auto* app = x11App();
    return app ? app->connection() : nullptr;
}

Display* displayWith(ExtensionQuery queryExtension) {
    Display* connection = display();
    int eventBase = 0;
    int errorBase = 0;
    return connection && queryExtension(connection, &eventBase, &errorBase) ? connection : nullptr;
}

} // namespace koro::x11
