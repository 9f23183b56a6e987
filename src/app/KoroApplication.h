#pragma once

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

// Runs step, containing any exception it throws; returns false when it threw.
template <typename Step> bool containStep(const char* what, Step&& step);

void reportContainedError(const char* where, const char* message);

template <typename Step> bool containStep(const char* what, Step&& step) {
    try {
        step();
        return true;
    } catch (const std::exception& e) {
        reportContainedError(what, e.what());
    } catch (...) {
        reportContainedError(what, "unknown error");
    }
    return false;
}

} // namespace koro
