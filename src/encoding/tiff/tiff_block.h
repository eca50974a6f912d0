#pragma once
// The bytes of one page as they will stand in the document. Offsets count
// from the document's first byte, so the block is told where it will land.
#include <cstdint>
#include <span>
#include <vector>

#include "encoding/byte_sink.h"

namespace orvix::tiff {

class TiffBlock final : public ByteSink {
public:
    explicit TiffBlock(std::uint64_t base) : base_(base) {}

    void write(std::span<const std::uint8_t> bytes) override;
    std::uint64_t position() const override { return base_ + bytes_.size(); }

    void put16(std::uint16_t v);
    void put32(std::uint32_t v);
    // One zero byte when the position is odd.
    void padToEven();
    // The position as a TIFF offset; throws past 4 GiB.
    std::uint32_t offset() const;

    std::uint64_t base() const { return base_; }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    std::vector<std::uint8_t>& bytes() { return bytes_; }

private:
    std::uint64_t base_;
    std::vector<std::uint8_t> bytes_;
};

// Checks that a stream position fits a 32-bit TIFF offset.
std::uint32_t toOffset(std::uint64_t position);

inline void storeLe16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void storeLe32(std::uint8_t* p, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace orvix::tiff
