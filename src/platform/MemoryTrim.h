#pragma once

namespace koro {

class MemoryTrim {
public:
    virtual ~MemoryTrim() = default;
    // Gives unused heap pages back to the system.
    virtual void trimWorkingSet() = 0;
};

} // namespace koro
