#include "capture/sample_copy.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace orvix {
namespace {

// One row, blue-green-red to red-green-blue. On little-endian machines each
// pixel but the last is one 4-byte load, a byte swap and one 4-byte store
// whose spare byte the next pixel overwrites.
void swapRow(const std::uint8_t* in, std::uint8_t* out, std::size_t pixels) {
    std::size_t x = 0;
    if constexpr (std::endian::native == std::endian::little) {
        for (; x + 1 < pixels; ++x, in += 3, out += 3) {
            std::uint32_t v;
            std::memcpy(&v, in, 4);
            v = __builtin_bswap32(v) >> 8;
            std::memcpy(out, &v, 4);
        }
    }
    for (; x < pixels; ++x, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}

}  // namespace

std::size_t dibRowStride(int width) {
    return (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3);
}

void copyBottomUpBgr(std::span<const std::uint8_t> sample, int width, int height, Image& bitmap) {
    if (width <= 0 || height <= 0) return;
    if (bitmap.width() != width || bitmap.height() != height) bitmap = Image(width, height);
    if (sample.empty()) return;
    const std::size_t stride = dibRowStride(width);
    const std::size_t pixels = static_cast<std::size_t>(width);
    const std::size_t rows = std::min<std::size_t>(static_cast<std::size_t>(height), sample.size() / stride);
    // The last row may lack its padding and still be complete.
    const bool lastRowUnpadded = rows < static_cast<std::size_t>(height) &&
                                 sample.size() - rows * stride >= pixels * 3;
    const std::size_t complete = rows + (lastRowUnpadded ? 1 : 0);
    for (std::size_t r = 0; r < complete; ++r) {
        swapRow(sample.data() + r * stride, bitmap.row(height - 1 - static_cast<int>(r)), pixels);
    }
}

}  // namespace orvix
