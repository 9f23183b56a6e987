#pragma once

#include <QString>

namespace koro {

// Failures are ignored by design: the caller has nobody to report them to.
class PowerControl {
public:
    virtual ~PowerControl() = default;
    virtual void scheduleShutdown(int delaySeconds, const QString& message) = 0;
    virtual void powerOffNow() = 0;
};

} // namespace koro
