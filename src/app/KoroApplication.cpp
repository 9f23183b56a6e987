#include "app/KoroApplication.h"

#include <QIcon>
#include <QMetaEnum>

namespace koro {

KoroApplication::KoroApplication(int& argc, char** argv)
    : QApplication(argc, argv) {
    // Windows without a parent of their own (the countdown, page dialogs) show it too.
    setWindowIcon(QIcon(QStringLiteral(":/images/app/koro.svg")));
}

bool KoroApplication::notify(QObject* receiver, QEvent* event) {
    bool handled = false;
    const bool ok =
        containStep("event handler", [&] { handled = QApplication::notify(receiver, event); });
    return ok && handled;
}

} // namespace koro
