#pragma once

namespace koro {

// Marks the one running copy per user.
class SingleInstance {
public:
    enum class Mark {
        Taken,         // this process is the only copy; the mark is kept until it ends
        HeldByAnother, // another copy runs
        Unavailable,   // no mark could be made, so nobody can tell
    };

    virtual ~SingleInstance() = default;
    virtual Mark acquire() = 0;
};

} // namespace koro
