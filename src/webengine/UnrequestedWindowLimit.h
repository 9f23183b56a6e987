#pragma once

#include <chrono>
#include <deque>
#include <functional>

namespace koro {

// How many windows pages may open without the user's click or key: a few within a short
// time, as browsers' popup blockers allow, so a page cannot bury the desktop in windows.
// Windows the user asked for are not counted.
class UnrequestedWindowLimit {
public:
    using Clock = std::function<std::chrono::steady_clock::time_point()>;
    static constexpr int MaxWindows = 3;
    static constexpr std::chrono::seconds Period{10};

    explicit UnrequestedWindowLimit(Clock clock = &std::chrono::steady_clock::now);

    // Whether one more window may open now; a window allowed is counted.
    bool allow();

private:
    Clock m_clock;
    std::deque<std::chrono::steady_clock::time_point> m_opened;
};

} // namespace koro
