#pragma once
// Nearest-neighbour scaling to an exact size, aspect ratio not kept: target
// pixel (i, j) takes source pixel (trunc(i * (sw / tw)), trunc(j * (sh / th))),
// each ratio worked out in double first. A target side of 0 keeps that side;
// the same size or an empty source gives an unchanged copy.
#include "pages/edit/pixel_mask.h"
#include "pages/image.h"

namespace orvix {

// Negative sizes throw Error.
Image resampleNearest(const Image& source, int width, int height);
// The same mapping, so a mask keeps matching a resized picture.
PixelMask resampleNearest(const PixelMask& source, int width, int height);

}  // namespace orvix
