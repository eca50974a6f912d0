// The connection seam over POSIX sockets.
#include <netdb.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <utility>

#include "net/connection.h"

namespace orvix::net {
namespace {

class SocketHandle {
public:
    SocketHandle() = default;
    explicit SocketHandle(int fd) : fd_(fd) {}
    SocketHandle(SocketHandle&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    SocketHandle& operator=(SocketHandle&& other) noexcept {
        if (this != &other) {
            reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;
    ~SocketHandle() { reset(); }

    int get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    void reset() {
        if (fd_ >= 0) ::close(fd_);
        fd_ = -1;
    }

private:
    int fd_ = -1;
};

struct AddrInfoFree {
    void operator()(addrinfo* info) const { ::freeaddrinfo(info); }
};

std::string systemMessage(const char* what, int error) {
    return std::string(what) + ": " + std::strerror(error);
}

class PosixConnection final : public Connection {
public:
    void connect(const std::string& host, std::uint16_t port) override {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo* found = nullptr;
        const std::string service = std::to_string(port);
        std::string name = host;
        if (name.size() >= 2 && name.front() == '[' && name.back() == ']') {
            name = name.substr(1, name.size() - 2);
        }
        if (const int rc = ::getaddrinfo(name.c_str(), service.c_str(), &hints, &found); rc != 0) {
            throw ConnectionError("Cannot resolve host " + host + ": " + ::gai_strerror(rc));
        }
        std::unique_ptr<addrinfo, AddrInfoFree> list(found);
        int lastError = 0;
        for (addrinfo* a = list.get(); a != nullptr; a = a->ai_next) {
            SocketHandle s(::socket(a->ai_family, a->ai_socktype, a->ai_protocol));
            if (!s) {
                lastError = errno;
                continue;
            }
            int rc;
            do {
                rc = ::connect(s.get(), a->ai_addr, a->ai_addrlen);
            } while (rc != 0 && errno == EINTR);
            if (rc == 0) {
                socket_ = std::move(s);
                return;
            }
            lastError = errno;
        }
        throw ConnectionError(systemMessage("Cannot connect", lastError));
    }

    void send(std::span<const std::uint8_t> bytes) override {
        requireOpen();
        while (!bytes.empty()) {
            // MSG_NOSIGNAL: a peer that closed early must not kill the process.
            const ssize_t n = ::send(socket_.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL);
            if (n < 0) {
                if (errno == EINTR) continue;
                throw ConnectionError(systemMessage("Send failed", errno));
            }
            bytes = bytes.subspan(static_cast<std::size_t>(n));
        }
    }

    std::size_t receive(std::span<std::uint8_t> buffer) override {
        requireOpen();
        for (;;) {
            const ssize_t n = ::recv(socket_.get(), buffer.data(), buffer.size(), 0);
            if (n >= 0) return static_cast<std::size_t>(n);
            if (errno == EINTR) continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK) throw ReceiveTimeout("Read timed out");
            throw ConnectionError(systemMessage("Receive failed", errno));
        }
    }

    void setReceiveTimeout(std::chrono::milliseconds timeout) override {
        requireOpen();
        timeval tv{};
        tv.tv_sec = static_cast<time_t>(timeout.count() / 1000);
        tv.tv_usec = static_cast<suseconds_t>((timeout.count() % 1000) * 1000);
        ::setsockopt(socket_.get(), SOL_SOCKET, SO_RCVTIMEO, &tv, sizeof tv);
    }

    void shutdown() override {
        if (socket_) ::shutdown(socket_.get(), SHUT_RDWR);
    }

private:
    void requireOpen() const {
        if (!socket_) throw ConnectionError("Not connected");
    }

    SocketHandle socket_;
};

}  // namespace

std::unique_ptr<Connection> makeConnection() { return std::make_unique<PosixConnection>(); }

}  // namespace orvix::net
