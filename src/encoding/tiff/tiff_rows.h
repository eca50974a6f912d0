#pragma once
// Turns the page's rows, one at a time, into the bytes that go to the strip
// encoder, as the layout says (RGB, differenced RGB, palette indices,
// black-and-white bits, CMYK, CIE L*a*b*).
#include <cstdint>
#include <span>
#include <vector>

#include "encoding/tiff/tiff_layout.h"
#include "pages/image.h"

namespace orvix::tiff {

class RowConverter {
public:
    // The image must outlive the converter.
    RowConverter(const Image& image, const TiffLayout& layout);

    int height() const { return image_.height(); }
    std::size_t rowBytes() const { return buffer_.size(); }
    // The row length of the page in memory, rows padded to 4 bytes; it sizes the strips.
    std::uint64_t memoryRowLength() const;
    // Valid until the next call.
    std::span<const std::uint8_t> row(int y);

private:
    enum class Kind { Rgb, RgbDifferenced, Indexed, Bilevel, Cmyk, Lab };
    const Image& image_;
    const TiffLayout& layout_;
    Kind kind_ = Kind::Rgb;
    std::vector<std::uint8_t> buffer_;
};

// The black-and-white copy of an image, white as 1: luminance from 128 up is white.
bool isWhite(const std::uint8_t* rgb);
// The image as black and white pixels, for writers that need colour.
Image blackAndWhite(const Image& image);

}  // namespace orvix::tiff
