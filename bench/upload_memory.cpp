// Posting a large upload: peak memory against the idle control, and loopback
// throughput against curl --data-binary posting the same bytes to the same
// server. A separate program, so that its high-water mark is its own.
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "net/http_post.h"
#include "process_memory.h"
#include "net/multipart_form.h"
#include "oracles/scratch_dir.h"
#include "support/test_pump.h"
#include "support/test_shell.h"
#include "ui/frame.h"

namespace {

using orvix::bench::resetPeak;
using orvix::bench::statusBytes;

// Accepts posts one after another, reads each body to its Content-Length and
// throws it away.
class SinkServer {
public:
    SinkServer() {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t len = sizeof addr;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 || ::listen(listener_, 4) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&addr), &len) != 0) {
            std::perror("listen");
            std::exit(1);
        }
        port_ = ntohs(addr.sin_port);
        thread_ = std::thread([this] { run(); });
    }
    ~SinkServer() {
        ::shutdown(listener_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
    }
    int port() const { return port_; }
    long long lastBody() const { return lastBody_; }

private:
    void run() {
        std::vector<char> buffer(1 << 16);
        for (;;) {
            const int peer = ::accept(listener_, nullptr, nullptr);
            if (peer < 0) return;
            std::string head;
            long long body = 0, length = -1;
            for (;;) {
                const ssize_t n = ::recv(peer, buffer.data(), buffer.size(), 0);
                if (n <= 0) break;
                if (length < 0) {
                    head.append(buffer.data(), static_cast<std::size_t>(n));
                    const auto end = head.find("\r\n\r\n");
                    if (end == std::string::npos) continue;
                    std::string lower = head.substr(0, end);
                    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
                    const auto at = lower.find("content-length:");
                    length = at == std::string::npos ? 0 : std::atoll(lower.c_str() + at + 15);
                    body = static_cast<long long>(head.size() - end - 4);
                } else {
                    body += n;
                }
                if (length >= 0 && body >= length) break;
            }
            lastBody_ = body;
            const char reply[] = "HTTP/1.1 200 OK\r\nContent-Length: 2\r\nConnection: close\r\n\r\nok";
            (void)!::send(peer, reply, sizeof reply - 1, MSG_NOSIGNAL);
            ::close(peer);
        }
    }

    int listener_ = -1;
    int port_ = 0;
    std::atomic<long long> lastBody_{0};
    std::thread thread_;
};

double seconds(std::chrono::steady_clock::duration d) { return std::chrono::duration<double>(d).count(); }

}  // namespace

int main(int argc, char** argv) {
    const long long megabytes = argc > 1 ? std::atoll(argv[1]) : 200;
    const int rounds = argc > 2 ? std::atoi(argv[2]) : 3;
    orvix::oracle::ScratchDir dir;
    const std::string document = dir.file("~~1A2B.pdf");
    {
        std::ofstream out(document, std::ios::binary);
        std::vector<char> chunk(1 << 20);
        std::mt19937 rng(7);
        for (long long m = 0; m < megabytes; ++m) {
            for (char& c : chunk) c = static_cast<char>(rng());
            out.write(chunk.data(), static_cast<std::streamsize>(chunk.size()));
        }
    }
    SinkServer server;
    const std::string url = "http://127.0.0.1:" + std::to_string(server.port()) + "/up";

    // The idle control: a frame, nothing else going on.
    orvix::test::TestShell shell;
    orvix::test::TestPump pump;
    orvix::TmyOrvixCamFrame frame{shell, pump};
    const bool reset = resetPeak();
    const long long idle = statusBytes("VmHWM");

    double ours = 1e9;
    long long bodySize = 0;
    for (int r = 0; r < rounds; ++r) {
        orvix::net::MultipartForm form("--------121126101010101");
        form.addField("id", "1");
        form.addField("desc", "bench");
        form.addField("imageCount", "1");
        form.addFile("image", document, ".pdf");
        bodySize = static_cast<long long>(form.size());
        const auto start = std::chrono::steady_clock::now();
        const auto result = orvix::net::httpPost(url, form.contentType(), form);
        ours = std::min(ours, seconds(std::chrono::steady_clock::now() - start));
        if (!result.success || server.lastBody() != bodySize) {
            std::fprintf(stderr, "post failed: %s (server got %lld of %lld bytes)\n", result.failure.c_str(),
                         server.lastBody(), bodySize);
            return 1;
        }
    }
    const long long peak = statusBytes("VmHWM");

    // curl --data-binary reads the file into memory first; --upload-file
    // streams it, which is the fairer match for ours.
    const auto timeCurl = [&](const std::string& how) {
        const std::string command = "curl -s -o /dev/null -X POST -H 'Expect:' -H 'Content-Type: application/octet-stream' " +
                                    how + document + " " + url;
        double best = 1e9;
        for (int r = 0; r < rounds; ++r) {
            const auto start = std::chrono::steady_clock::now();
            if (std::system(command.c_str()) != 0 || server.lastBody() != megabytes * 1048576) {
                std::fprintf(stderr, "curl failed: %s\n", command.c_str());
                std::exit(1);
            }
            best = std::min(best, seconds(std::chrono::steady_clock::now() - start));
        }
        return best;
    };
    const double curl = timeCurl("--data-binary @");
    const double curlStream = timeCurl("--upload-file ");

    const double mib = 1048576.0;
    std::printf("upload of %lld MiB (body %lld bytes), best of %d\n", megabytes, bodySize, rounds);
    std::printf("peak memory: idle control %.1f MiB, during the posts %.1f MiB, growth %.2f MiB%s\n", idle / mib,
                peak / mib, (peak - idle) / mib, reset ? "" : " (peak not reset: idle is the setup peak)");
    std::printf("throughput: ours %.0f MiB/s; curl --data-binary %.0f MiB/s (time ratio ours/curl %.2f); "
                "curl --upload-file %.0f MiB/s (time ratio %.2f)\n",
                bodySize / mib / ours, megabytes / curl, ours / curl, megabytes / curlStream, ours / curlStream);
    return 0;
}
