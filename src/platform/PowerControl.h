#pragma once

namespace koro {

// Failures are ignored by design: the caller has nobody to report them to. The countdown before
// it is the program's own, so the user sees it and can stop it.
class PowerControl {
public:
    virtual ~PowerControl() = default;
    virtual void powerOffNow() = 0;
};

} // namespace koro
