#pragma once

#include "config/ContainStep.h"

#include <QApplication>

namespace koro {

// The application object. Any exception that escapes a handler, timer tick or start-up step
// ends only that handler: it is written as one line to standard error and the program goes on.
class KoroApplication : public QApplication {
    Q_OBJECT
public:
    KoroApplication(int& argc, char** argv);

    bool notify(QObject* receiver, QEvent* event) override;
};

} // namespace koro
