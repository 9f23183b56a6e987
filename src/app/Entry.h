#pragma once

#include <QString>

#include <functional>

namespace koro {

struct Endpoints;
class TForm1;

// What the test harness changes of a run; the program itself runs with the defaults.
struct RunOptions {
    // Where every copy of one user takes its lock; tests running side by side use their own.
    QString lockFolder = QStringLiteral("/tmp");
};

// The whole life of the process: single-instance check, application object, main window,
// message loop. Returns the exit code.
// observe, when given, sees the main window once it exists (the test harness logs through it).
int runKoro(int argc, char** argv, const Endpoints& endpoints,
            const std::function<void(TForm1&)>& observe = {}, const RunOptions& options = {});

} // namespace koro
