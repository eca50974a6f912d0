// The connection seam over Winsock.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <utility>

#include "net/connection.h"

namespace orvix::net {
namespace {

// Winsock counts its start-ups, so each connection holds one.
class WinsockSession {
public:
    WinsockSession() {
        WSADATA data{};
        if (::WSAStartup(MAKEWORD(2, 2), &data) != 0) throw ConnectionError("Winsock unavailable");
    }
    WinsockSession(const WinsockSession&) = delete;
    WinsockSession& operator=(const WinsockSession&) = delete;
    ~WinsockSession() { ::WSACleanup(); }
};

class SocketHandle {
public:
    SocketHandle() = default;
    explicit SocketHandle(SOCKET s) : socket_(s) {}
    SocketHandle(SocketHandle&& other) noexcept
        : socket_(std::exchange(other.socket_, INVALID_SOCKET)) {}
    SocketHandle& operator=(SocketHandle&& other) noexcept {
        if (this != &other) {
            reset();
            socket_ = std::exchange(other.socket_, INVALID_SOCKET);
        }
        return *this;
    }
    SocketHandle(const SocketHandle&) = delete;
    SocketHandle& operator=(const SocketHandle&) = delete;
    ~SocketHandle() { reset(); }

    SOCKET get() const { return socket_; }
    explicit operator bool() const { return socket_ != INVALID_SOCKET; }
    void reset() {
        if (socket_ != INVALID_SOCKET) ::closesocket(socket_);
        socket_ = INVALID_SOCKET;
    }

private:
    SOCKET socket_ = INVALID_SOCKET;
};

struct AddrInfoFree {
    void operator()(addrinfo* info) const { ::freeaddrinfo(info); }
};

std::string winsockMessage(const char* what, int error) {
    return std::string(what) + " (Winsock error " + std::to_string(error) + ")";
}

class WinsockConnection final : public Connection {
public:
    void connect(const std::string& host, std::uint16_t port) override {
        addrinfo hints{};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        hints.ai_protocol = IPPROTO_TCP;
        std::string name = host;
        if (name.size() >= 2 && name.front() == '[' && name.back() == ']') {
            name = name.substr(1, name.size() - 2);
        }
        const std::string service = std::to_string(port);
        addrinfo* found = nullptr;
        if (const int rc = ::getaddrinfo(name.c_str(), service.c_str(), &hints, &found); rc != 0) {
            throw ConnectionError(winsockMessage(("Cannot resolve host " + host).c_str(), rc));
        }
        std::unique_ptr<addrinfo, AddrInfoFree> list(found);
        int lastError = 0;
        for (addrinfo* a = list.get(); a != nullptr; a = a->ai_next) {
            SocketHandle s(::socket(a->ai_family, a->ai_socktype, a->ai_protocol));
            if (!s) {
                lastError = ::WSAGetLastError();
                continue;
            }
            if (::connect(s.get(), a->ai_addr, static_cast<int>(a->ai_addrlen)) == 0) {
                socket_ = std::move(s);
                return;
            }
            lastError = ::WSAGetLastError();
        }
        throw ConnectionError(winsockMessage("Cannot connect", lastError));
    }

    void send(std::span<const std::uint8_t> bytes) override {
        requireOpen();
        while (!bytes.empty()) {
            const int part = static_cast<int>(std::min<std::size_t>(bytes.size(), 1 << 30));
            const int n = ::send(socket_.get(), reinterpret_cast<const char*>(bytes.data()), part, 0);
            if (n == SOCKET_ERROR) throw ConnectionError(winsockMessage("Send failed", ::WSAGetLastError()));
            bytes = bytes.subspan(static_cast<std::size_t>(n));
        }
    }

    std::size_t receive(std::span<std::uint8_t> buffer) override {
        requireOpen();
        const int part = static_cast<int>(std::min<std::size_t>(buffer.size(), 1 << 30));
        const int n = ::recv(socket_.get(), reinterpret_cast<char*>(buffer.data()), part, 0);
        if (n != SOCKET_ERROR) return static_cast<std::size_t>(n);
        const int error = ::WSAGetLastError();
        if (error == WSAETIMEDOUT) throw ReceiveTimeout("Read timed out");
        throw ConnectionError(winsockMessage("Receive failed", error));
    }

    void setReceiveTimeout(std::chrono::milliseconds timeout) override {
        requireOpen();
        const DWORD ms = static_cast<DWORD>(timeout.count());
        ::setsockopt(socket_.get(), SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&ms),
                     sizeof ms);
    }

    void shutdown() override {
        if (socket_) ::shutdown(socket_.get(), SD_BOTH);
    }

private:
    void requireOpen() const {
        if (!socket_) throw ConnectionError("Not connected");
    }

    // Declared first so that it outlives the socket.
    WinsockSession session_;
    SocketHandle socket_;
};

}  // namespace

std::unique_ptr<Connection> makeConnection() { return std::make_unique<WinsockConnection>(); }

}  // namespace orvix::net
