#pragma once
// Errors raised inside the core. The control object turns any of them into a
// script error whose description is what() (see control/win32).
#include <stdexcept>
#include <string>

namespace orvix {

class Error : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A page index outside the strip, as the strip reports it.
class ListIndexError : public Error {
public:
    explicit ListIndexError(int index)
        : Error("List index out of bounds (" + std::to_string(index) + ")") {}
};

// An image file or buffer that cannot be decoded.
class DecodeError : public Error {
public:
    using Error::Error;
};

}  // namespace orvix
