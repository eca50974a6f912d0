#pragma once
// LZW as TIFF and PDF read it: MSB-first codes of 9 to 12 bits, Clear 256,
// end-of-information 257, code width switched one code early (PDF
// EarlyChange 1). One encoder object is one stream.
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "encoding/byte_sink.h"

namespace orvix {

class LzwEncoder {
public:
    // Starts a stream; nothing reaches the sink before 254 bytes are ready.
    explicit LzwEncoder(ByteSink& out);

    LzwEncoder(const LzwEncoder&) = delete;
    LzwEncoder& operator=(const LzwEncoder&) = delete;

    // Continues the stream with the next block (a row, typically).
    void encode(std::span<const std::uint8_t> block);
    // Ends the stream and hands the rest to the sink; the encoder is spent.
    void finish();

    static constexpr int kClearCode = 256;
    static constexpr int kEndCode = 257;
    static constexpr std::size_t kOutputBufferSize = 254;

private:
    static constexpr int kHashSize = 5003;
    static constexpr int kFirstFreeCode = 258;
    static constexpr int kLastFreeCode = 4093;

    void putCode(unsigned code);
    void putByte(std::uint8_t b);
    void flushOutput();
    void resetTable();

    ByteSink& out_;
    // Slot key is byte << 12 | prefix; 0 marks an empty slot, which also
    // makes the pair (0, 0) unfindable, so runs of zeros go out byte by byte.
    struct Slot {
        std::uint32_t key;
        std::uint32_t code;
    };
    std::vector<Slot> slots_;
    unsigned width_ = 9;
    unsigned maxCode_ = 511;
    unsigned nextCode_ = kFirstFreeCode;
    unsigned prefix_ = 0;
    bool havePrefix_ = false;
    bool finished_ = false;
    std::uint32_t bits_ = 0;
    unsigned bitCount_ = 0;
    std::array<std::uint8_t, kOutputBufferSize> buffer_{};
    std::size_t buffered_ = 0;
};

// One whole stream.
void lzwEncode(std::span<const std::uint8_t> data, ByteSink& out);
std::vector<std::uint8_t> lzwEncode(std::span<const std::uint8_t> data);

}  // namespace orvix
