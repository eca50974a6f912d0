#include "encoding/pdf/bilevel_image.h"

#include <string>

#include "errors.h"

namespace orvix::pdf {

BilevelImage::BilevelImage(int width, int height) : width_(width), height_(height) {
    if (width < 0 || height < 0)
        throw Error("Bilevel image size " + std::to_string(width) + " x " + std::to_string(height) + " is invalid");
    bytes_.assign(stride() * static_cast<std::size_t>(height), 0xFF);
}

std::size_t BilevelImage::index(int x, int y) const {
    if (x < 0 || y < 0 || x >= width_ || y >= height_)
        throw Error("Pixel (" + std::to_string(x) + ", " + std::to_string(y) + ") is outside the image");
    return stride() * static_cast<std::size_t>(y) + static_cast<std::size_t>(x) / 8;
}

bool BilevelImage::white(int x, int y) const { return (bytes_[index(x, y)] >> (7 - x % 8)) & 1; }

void BilevelImage::setWhite(int x, int y, bool white) {
    const auto bit = static_cast<std::uint8_t>(0x80 >> (x % 8));
    std::uint8_t& b = bytes_[index(x, y)];
    b = white ? (b | bit) : (b & ~bit);
}

}  // namespace orvix::pdf
