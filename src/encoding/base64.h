#pragma once
// Base64 text as the control hands documents to scripts: RFC 4648 alphabet,
// "=" padding, CR LF after every 76 characters (so a text whose last line is
// full ends with CR LF, and a shorter last line has none).
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "encoding/byte_sink.h"

namespace orvix {

// Streaming form: the text of everything passed to encode(), in order, goes
// to the sink in chunks of whole lines; finish() adds the padded last group.
class Base64Encoder {
public:
    explicit Base64Encoder(ByteSink& out) : out_(out) {}

    Base64Encoder(const Base64Encoder&) = delete;
    Base64Encoder& operator=(const Base64Encoder&) = delete;

    void encode(std::span<const std::uint8_t> bytes);
    void finish();

    static constexpr std::size_t kLineChars = 76;
    // Characters of the text for size input bytes.
    static std::size_t textSize(std::size_t size);

private:
    static constexpr std::size_t kLineBytes = kLineChars / 4 * 3;
    static constexpr std::size_t kBufferSize = 210 * (kLineChars + 2);

    void putGroup(const std::uint8_t* in);
    void putChars(const char* chars);
    void flush();

    ByteSink& out_;
    std::array<std::uint8_t, 3> carry_{};
    std::size_t carried_ = 0;
    std::size_t lineChars_ = 0;
    bool finished_ = false;
    std::array<char, kBufferSize> buffer_;
    std::size_t used_ = 0;
};

// Encodes what is written to it on the fly; position() counts the bytes
// taken, not the text, so offsets computed by writers stay those of the data.
class Base64Sink final : public ByteSink {
public:
    // expectedSize: input bytes to reserve text for (0: none).
    explicit Base64Sink(std::size_t expectedSize = 0);

    void write(std::span<const std::uint8_t> bytes) override;
    std::uint64_t position() const override { return position_; }
    // Ends the text and hands it over. Once only.
    std::string finish();

private:
    std::string text_;
    StringSink textSink_;
    Base64Encoder encoder_;
    std::uint64_t position_ = 0;
};

std::string encodeBase64(std::span<const std::uint8_t> bytes);

}  // namespace orvix
