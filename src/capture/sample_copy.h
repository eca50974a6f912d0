#pragma once
// The copy of a grabbed sample into a view bitmap: the sample is a 24-bit
// bottom-up DIB (blue, green, red per pixel, rows padded to 4 bytes, bottom
// row first); the bitmap is upright RGB.
#include <cstddef>
#include <cstdint>
#include <span>

#include "pages/image.h"

namespace orvix {

// Bytes per row of a 24-bit DIB of that width.
std::size_t dibRowStride(int width);

// Makes `bitmap` width x height when it is not (pixels then black), then
// copies every row the sample holds completely; rows a short sample lacks
// keep their pixels. An empty sample or a non-positive size copies nothing.
void copyBottomUpBgr(std::span<const std::uint8_t> sample, int width, int height, Image& bitmap);

}  // namespace orvix
