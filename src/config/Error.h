#pragma once

#include <stdexcept>
#include <string>

namespace koro {

// Raised by operations that fail; the application-wide handler catches what nobody else does.
class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace koro
