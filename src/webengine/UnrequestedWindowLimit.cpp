#include "webengine/UnrequestedWindowLimit.h"

namespace koro {

UnrequestedWindowLimit::UnrequestedWindowLimit(Clock clock)
    : m_clock(std::move(clock)) {}

bool UnrequestedWindowLimit::allow() {
    const auto now = m_clock();
    while (!m_opened.empty() && now - m_opened.front() >= Period)
        m_opened.pop_front();
    if (static_cast<int>(m_opened.size()) >= MaxWindows)
        return false;
    m_opened.push_back(now);
    return true;
}

} // namespace koro
