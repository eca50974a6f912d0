#pragma once
// The black-border tool: whitens a band around the page, about 4.7 % of the
// width on the left, 4.4 % on the right, 3.1 % of the height at the top and
// 3.2 % at the bottom, where a camera sees past the document.
#include "pages/edit/pixel_mask.h"
#include "pages/image.h"

namespace orvix {

// The rectangle kept, corners clamped (left/top to 0..W-1 / 0..H-1,
// right/bottom to 0..W / 0..H). Its right column and bottom row are not
// part of it; an empty one keeps nothing.
PixelRect blackBorderKeep(int width, int height);

// Everything outside blackBorderKeep turns white.
Image removeBlackBorder(Image image);

}  // namespace orvix
