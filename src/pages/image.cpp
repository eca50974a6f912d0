#include "pages/image.h"

#include <stdexcept>

namespace orvix {

Image::Image(int width, int height, Rgb fill) {
    if (width < 0 || height < 0) throw std::invalid_argument("negative image size");
    if (width == 0 || height == 0) return;
    width_ = width;
    height_ = height;
    pixels_.resize(stride() * static_cast<std::size_t>(height));
    // The new pixels are already black; painting them again costs a pass.
    if (fill != Rgb{}) this->fill(fill);
}

Rgb Image::pixel(int x, int y) const {
    const std::uint8_t* p = row(y) + static_cast<std::size_t>(x) * 3;
    return {p[0], p[1], p[2]};
}

void Image::setPixel(int x, int y, Rgb c) {
    std::uint8_t* p = row(y) + static_cast<std::size_t>(x) * 3;
    p[0] = c.r;
    p[1] = c.g;
    p[2] = c.b;
}

void Image::fill(Rgb c) {
    for (std::size_t i = 0; i < pixels_.size(); i += 3) {
        pixels_[i] = c.r;
        pixels_[i + 1] = c.g;
        pixels_[i + 2] = c.b;
    }
}

}  // namespace orvix
