#pragma once

namespace koro {

// Marks the one running copy per user session.
class SingleInstance {
public:
    virtual ~SingleInstance() = default;
    // True when this process is the only copy; the mark is kept until the process ends.
    virtual bool acquire() = 0;
};

} // namespace koro
