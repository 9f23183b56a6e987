#pragma once

#include <exception>

namespace koro {

// Writes one line about a contained failure to standard error.
void reportContainedError(const char* where, const char* message);

// Runs step, containing any exception it throws; returns false when it threw.
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
