#include "app/KoroApplication.h"

#include <QMetaEnum>

namespace koro {

KoroApplication::KoroApplication(int& argc, char** argv)
    : QApplication(argc, argv) {}

bool KoroApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    const bool ok =
        containStep("event handler", [&] { handled = QApplication::notify(receiver, event); });
    return ok && handled;
}

} // namespace koro
