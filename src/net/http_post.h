#pragma once
// One HTTP/1.0 POST exchange as the uploads make it: fixed request bytes, the
// body streamed from a source, the reply judged by the outcome rules.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "net/connection.h"
#include "net/net_errors.h"

namespace orvix::net {

// The body of a post: a stream of known length.
class BodySource {
public:
    virtual ~BodySource() = default;
    virtual std::uint64_t size() const = 0;
    // Fills up to buffer.size() bytes; 0 only at the end.
    virtual std::size_t read(std::span<std::uint8_t> buffer) = 0;
};

// A body already in memory (the caller keeps the bytes alive).
class SpanBodySource final : public BodySource {
public:
    explicit SpanBodySource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
    std::uint64_t size() const override { return bytes_.size(); }
    std::size_t read(std::span<std::uint8_t> buffer) override;

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
};

// Largest single write of body bytes.
inline constexpr std::size_t kBodyWriteSize = 32768;

struct PostResult {
    bool success = false;
    // The reply body as received: the whole body on success, the bytes got
    // before a loss when a 2xx body broke off, empty for any other failure.
    std::string replyText;
    int status = 0;         // -1 for an unreadable status line
    std::string failure;    // why it failed; empty on success
};

// The request line and header lines, byte for byte, ending with the empty line.
std::string buildRequestHead(std::string_view target, std::string_view hostHeader,
                             std::string_view contentType, std::uint64_t contentLength);

// Throws HttpError for a bad url, "https", or a failure before a reply head was
// read (resolve, connect, send, reply cut off); every reply gives a PostResult.
PostResult httpPost(std::string_view url, std::string_view contentType, BodySource& body,
                    const ConnectionFactory& factory = makeConnection);

}  // namespace orvix::net
