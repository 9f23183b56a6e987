#include "app/KoroApplication.h"

#include <QMetaEnum>
#include <cstdio>

namespace koro {

KoroApplication::KoroApplication(int& argc, char** argv)
    : QApplication(argc, argv) {}

bool KoroApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    const bool ok =
        containStep("event handler", [&] { handled = QApplication::notify(receiver, event); });
    return ok && handled;
}

void reportContainedError(const char* where, const char* message) {
    std::fprintf(stderr, "koro: %s: %s\n", where, message);
    std::fflush(stderr);
}

} // namespace koro
