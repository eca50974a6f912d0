#pragma once
// Errors of the network code.
#include <string>

#include "errors.h"

namespace orvix::net {

// A failed exchange (or a url that cannot give one).
class HttpError : public Error {
public:
    using Error::Error;
};

// The socket layer failed: resolve, connect, send, receive or reset.
class ConnectionError : public HttpError {
public:
    using HttpError::HttpError;
};

// A receive with a time-out set found nothing in time.
class ReceiveTimeout : public ConnectionError {
public:
    using ConnectionError::ConnectionError;
};

}  // namespace orvix::net
