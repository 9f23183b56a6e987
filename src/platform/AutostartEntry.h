#pragma once

namespace koro {

// The start-with-desktop entry "Tarvolin", removed at every save.
class AutostartEntry {
public:
    virtual ~AutostartEntry() = default;
    // Never fails: an entry that is missing or cannot be removed is skipped silently.
    virtual void removeEntry() = 0;
};

} // namespace koro
