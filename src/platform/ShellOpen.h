#pragma once

#include <QString>

namespace koro {

// Hands an address to the desktop ("open" verb); the result is not reported.
class ShellOpen {
public:
    virtual ~ShellOpen() = default;
    // False when no program can take the address (no web browser, for instance); true when it
    // was handed on.
    virtual bool open(const QString& address) = 0;
    // The name of the program the desktop opens addresses of this scheme with; empty when
    // unknown.
    virtual QString handlerName(const QString& scheme) const = 0;
};

} // namespace koro
