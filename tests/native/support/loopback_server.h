#pragma once
// A one-connection HTTP peer on 127.0.0.1: records the exact request bytes and
// plays a scripted reply, then closes in order or with a reset.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <thread>

namespace orvix::test {

class LoopbackServer {
public:
    enum class Ending { Close, Reset };

    explicit LoopbackServer(std::string reply, Ending ending = Ending::Close)
        : reply_(std::move(reply)), ending_(ending) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        if (listener_ < 0) throw std::runtime_error("socket");
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
            ::listen(listener_, 1) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
            ::close(listener_);
            throw std::runtime_error("listen");
        }
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { serve(); });
    }
    LoopbackServer(const LoopbackServer&) = delete;
    LoopbackServer& operator=(const LoopbackServer&) = delete;
    ~LoopbackServer() { finish(); }

    std::uint16_t port() const { return port_; }

    // Waits for the exchange to end and gives what the client sent.
    const std::string& request() {
        finish();
        return request_;
    }

private:
    void finish() {
        if (!thread_.joinable()) return;
        ::shutdown(listener_, SHUT_RDWR);  // wakes accept() when nobody came
        thread_.join();
        ::close(listener_);
    }

    void serve() {
        const int peer = ::accept(listener_, nullptr, nullptr);
        if (peer < 0) return;
        readRequest(peer);
        for (std::size_t sent = 0; sent < reply_.size();) {
            const ssize_t n = ::send(peer, reply_.data() + sent, reply_.size() - sent, MSG_NOSIGNAL);
            if (n <= 0) break;
            sent += static_cast<std::size_t>(n);
        }
        if (ending_ == Ending::Reset) {
            linger hard{1, 0};
            ::setsockopt(peer, SOL_SOCKET, SO_LINGER, &hard, sizeof hard);
        }
        ::close(peer);
    }

    // The head, then as many body bytes as its Content-Length names.
    void readRequest(int peer) {
        std::size_t headEnd = std::string::npos;
        std::size_t wanted = 0;
        char buffer[65536];
        for (;;) {
            if (headEnd != std::string::npos && request_.size() >= headEnd + wanted) return;
            const ssize_t n = ::recv(peer, buffer, sizeof buffer, 0);
            if (n <= 0) return;
            request_.append(buffer, static_cast<std::size_t>(n));
            if (headEnd == std::string::npos) {
                const auto end = request_.find("\r\n\r\n");
                if (end == std::string::npos) continue;
                headEnd = end + 4;
                std::string head = request_.substr(0, headEnd);
                std::transform(head.begin(), head.end(), head.begin(),
                               [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
                if (const auto at = head.find("\r\ncontent-length:"); at != std::string::npos) {
                    wanted = std::stoul(head.substr(at + 17));
                }
            }
        }
    }

    std::string reply_;
    Ending ending_;
    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::string request_;
    std::thread thread_;
};

}  // namespace orvix::test
