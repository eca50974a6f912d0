#pragma once
// Pixel changes on the whole image or on the pixels of a mask. A mask of
// another size than the image throws Error.
#include <cstdint>

#include "pages/edit/pixel_mask.h"
#include "pages/image.h"

namespace orvix {

inline constexpr Rgb kWhite{255, 255, 255};

Image fillSelection(Image image, const PixelMask& selection, Rgb colour);

// (21·R + 71·G + 8·B) div 100.
std::uint8_t grayValue(Rgb c);

// Two levels: a pixel whose gray value is 226 or more turns white, every
// other one turns `colour`. This is the net effect of the three view steps
// gray, whiten 226..255, colour 0..254.
Image castToColor(Image image, Rgb colour);
Image castToColor(Image image, const PixelMask& selection, Rgb colour);

}  // namespace orvix
