#pragma once

namespace koro {

struct Endpoints;

// The whole life of the process: single-instance check, application object, main window,
// message loop. Returns the exit code.
int runKoro(int argc, char** argv, const Endpoints& endpoints);

} // namespace koro
