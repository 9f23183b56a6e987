#pragma once

#include <QString>

namespace koro {

// Hands an address to the desktop ("open" verb); the result is not reported.
class ShellOpen {
public:
    virtual ~ShellOpen() = default;
    virtual void open(const QString& address) = 0;
    // The name of the program the desktop opens addresses of this scheme with; empty when
    // unknown.
    virtual QString handlerName(const QString& scheme) const = 0;
};

} // namespace koro
