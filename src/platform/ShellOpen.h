#pragma once

#include <QString>

namespace koro {

// Hands an address to the desktop ("open" verb); the result is not reported.
class ShellOpen {
public:
    virtual ~ShellOpen() = default;
    virtual void open(const QString& address) = 0;
};

} // namespace koro
