// libFuzzer target for what an upload takes from outside: the url text and
// the server's reply, cut into receives of varying size. Any input must give
// a result or throw HttpError, never crash or hang.
// Build and run (from the repository root, clang with libFuzzer):
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc \
//     tests/fuzz/fuzz_http_reply.cpp src/net/http_post.cpp src/net/url.cpp \
//     -o build/fuzz_http_reply
//   build/fuzz_http_reply -rss_limit_mb=2048 -timeout=10 -max_len=65536 CORPUS_DIR
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string_view>

#include "net/http_post.h"
#include "net/url.h"

namespace {

using namespace orvix::net;

// Plays the input as the reply; the first byte sets the size of each receive.
class ReplayConnection final : public Connection {
public:
    explicit ReplayConnection(std::span<const std::uint8_t> reply)
        : step_(reply.empty() ? 1 : 1 + reply[0] % 64), reply_(reply) {}
    void connect(const std::string&, std::uint16_t) override {}
    void send(std::span<const std::uint8_t>) override {}
    std::size_t receive(std::span<std::uint8_t> buffer) override {
        const std::size_t n = std::min({buffer.size(), step_, reply_.size() - offset_});
        std::memcpy(buffer.data(), reply_.data() + offset_, n);
        offset_ += n;
        return n;
    }
    void setReceiveTimeout(std::chrono::milliseconds) override {}
    void shutdown() override {}

private:
    std::size_t step_;
    std::span<const std::uint8_t> reply_;
    std::size_t offset_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::span<const std::uint8_t> input(data, size);
    // The text up to the first line end doubles as a url.
    const auto* lineEnd = std::find(data, data + size, std::uint8_t{'\n'});
    try {
        splitUrl(std::string_view(reinterpret_cast<const char*>(data), static_cast<std::size_t>(lineEnd - data)));
    } catch (const HttpError&) {
    }
    static const std::uint8_t body[] = "--b\r\nContent-Disposition: form-data; name=\"id\"\r\n\r\n1\r\n--b--\r\n";
    SpanBodySource source{std::span(body, sizeof body - 1)};
    try {
        httpPost("http://127.0.0.1:8080/up", "multipart/form-data; boundary=b", source,
                 [input] { return std::make_unique<ReplayConnection>(input); });
    } catch (const HttpError&) {
    }
    return 0;
}
