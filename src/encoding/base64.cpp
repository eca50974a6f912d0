#include "encoding/base64.h"

#include <cstring>
#include <utility>

#include "errors.h"

namespace orvix {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

// Two output characters per 12 input bits: one lookup per half group.
struct PairTable {
    std::array<char, 4096 * 2> chars{};
    constexpr PairTable() {
        for (int i = 0; i < 4096; ++i) {
            chars[2 * i] = kAlphabet[i >> 6];
            chars[2 * i + 1] = kAlphabet[i & 63];
        }
    }
};
constexpr PairTable kPairs;

inline char* encodeGroup(char* out, const std::uint8_t* in) {
    const std::uint32_t v = (std::uint32_t{in[0]} << 16) | (std::uint32_t{in[1]} << 8) | in[2];
    std::memcpy(out, &kPairs.chars[2 * (v >> 12)], 2);
    std::memcpy(out + 2, &kPairs.chars[2 * (v & 0xFFF)], 2);
    return out + 4;
}

}  // namespace

std::size_t Base64Encoder::textSize(std::size_t size) {
    const std::size_t chars = (size + 2) / 3 * 4;
    return chars + chars / kLineChars * 2;
}

void Base64Encoder::encode(std::span<const std::uint8_t> bytes) {
    if (finished_) throw Error("Base64 text already finished");
    const std::uint8_t* in = bytes.data();
    std::size_t n = bytes.size();
    while (carried_ > 0 && carried_ < 3 && n > 0) {
        carry_[carried_++] = *in++;
        --n;
    }
    if (carried_ == 3) {
        putGroup(carry_.data());
        carried_ = 0;
    }
    while (n >= 3) {
        if (lineChars_ == 0 && n >= kLineBytes) {
            // A whole line at once: the common case.
            if (buffer_.size() - used_ < kLineChars + 2) flush();
            char* out = buffer_.data() + used_;
            for (std::size_t g = 0; g < kLineBytes / 3; ++g, in += 3) out = encodeGroup(out, in);
            out[0] = '\r';
            out[1] = '\n';
            used_ += kLineChars + 2;
            n -= kLineBytes;
        } else {
            putGroup(in);
            in += 3;
            n -= 3;
        }
    }
    for (; n > 0; --n) carry_[carried_++] = *in++;
}

void Base64Encoder::finish() {
    if (finished_) throw Error("Base64 text already finished");
    finished_ = true;
    if (carried_ > 0) {
        const std::uint32_t v = (std::uint32_t{carry_[0]} << 16) | (carried_ == 2 ? std::uint32_t{carry_[1]} << 8 : 0);
        const char group[4] = {kAlphabet[v >> 18], kAlphabet[(v >> 12) & 63],
                               carried_ == 2 ? kAlphabet[(v >> 6) & 63] : '=', '='};
        putChars(group);
    }
    flush();
}

void Base64Encoder::putGroup(const std::uint8_t* in) {
    char group[4];
    encodeGroup(group, in);
    putChars(group);
}

// One group of four characters, then CR LF when it completes a line.
void Base64Encoder::putChars(const char* chars) {
    if (buffer_.size() - used_ < 6) flush();
    std::memcpy(buffer_.data() + used_, chars, 4);
    used_ += 4;
    lineChars_ += 4;
    if (lineChars_ >= kLineChars) {
        buffer_[used_++] = '\r';
        buffer_[used_++] = '\n';
        lineChars_ = 0;
    }
}

void Base64Encoder::flush() {
    if (used_ == 0) return;
    out_.write(std::span(reinterpret_cast<const std::uint8_t*>(buffer_.data()), used_));
    used_ = 0;
}

Base64Sink::Base64Sink(std::size_t expectedSize) : textSink_(text_), encoder_(textSink_) {
    if (expectedSize > 0) text_.reserve(Base64Encoder::textSize(expectedSize));
}

void Base64Sink::write(std::span<const std::uint8_t> bytes) {
    encoder_.encode(bytes);
    position_ += bytes.size();
}

std::string Base64Sink::finish() {
    encoder_.finish();
    return std::move(text_);
}

std::string encodeBase64(std::span<const std::uint8_t> bytes) {
    std::string text;
    text.reserve(Base64Encoder::textSize(bytes.size()));
    StringSink sink(text);
    Base64Encoder encoder(sink);
    encoder.encode(bytes);
    encoder.finish();
    return text;
}

}  // namespace orvix
