#include "config/ContainStep.h"

#include <cstdio>

namespace koro {

void reportContainedError(const char* where, const char* message) {
    std::fprintf(stderr, "koro: %s: %s\n", where, message);
    std::fflush(stderr);
}

} // namespace koro
