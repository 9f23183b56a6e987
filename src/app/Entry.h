#pragma once

#include <functional>

namespace koro {

struct Endpoints;
class TForm1;

// The whole life of the process: single-instance check, application object, main window,
// message loop. Returns the exit code.
// observe, when given, sees the main window once it exists (the test harness logs through it).
int runKoro(int argc, char** argv, const Endpoints& endpoints,
            const std::function<void(TForm1&)>& observe = {});

} // namespace koro
