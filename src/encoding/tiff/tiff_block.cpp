#include "encoding/tiff/tiff_block.h"

#include "errors.h"

namespace orvix::tiff {

std::uint32_t toOffset(std::uint64_t position) {
    if (position > 0xFFFFFFFFull) throw Error("TIFF document larger than 4 GiB");
    return static_cast<std::uint32_t>(position);
}

void TiffBlock::write(std::span<const std::uint8_t> bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

void TiffBlock::put16(std::uint16_t v) {
    std::uint8_t b[2];
    storeLe16(b, v);
    write(b);
}

void TiffBlock::put32(std::uint32_t v) {
    std::uint8_t b[4];
    storeLe32(b, v);
    write(b);
}

void TiffBlock::padToEven() {
    if (position() % 2 != 0) bytes_.push_back(0);
}

std::uint32_t TiffBlock::offset() const { return toOffset(position()); }

}  // namespace orvix::tiff
