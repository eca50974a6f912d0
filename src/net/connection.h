#pragma once
// The socket seam of the POST exchange: one platform binding per system, and
// tests can wrap it to watch what is sent.
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "net/net_errors.h"

namespace orvix::net {

class Connection {
public:
    virtual ~Connection() = default;
    // Resolves host and connects to the first address that answers.
    virtual void connect(const std::string& host, std::uint16_t port) = 0;
    // Sends all of the bytes or throws ConnectionError.
    virtual void send(std::span<const std::uint8_t> bytes) = 0;
    // Returns the bytes received, 0 once the peer has closed in order; throws
    // ConnectionError on a reset and ReceiveTimeout when a time-out ran out.
    virtual std::size_t receive(std::span<std::uint8_t> buffer) = 0;
    // Zero means wait for ever.
    virtual void setReceiveTimeout(std::chrono::milliseconds timeout) = 0;
    // Ends both directions; the destructor closes the socket.
    virtual void shutdown() = 0;
};

using ConnectionFactory = std::function<std::unique_ptr<Connection>()>;

// The binding of this platform (POSIX sockets or Winsock).
std::unique_ptr<Connection> makeConnection();

}  // namespace orvix::net
