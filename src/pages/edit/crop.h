#pragma once
// Cropping to a selection.
#include "pages/edit/pixel_mask.h"
#include "pages/image.h"

namespace orvix {

// An image the size of the selection's bounding box (first to last selected
// column and row, inclusive) in `background`, with the selected pixels at
// their places in it; pixels of the box outside a free-form selection keep
// the background. An empty selection, or one of another size than the
// image, throws Error.
Image cropToSelection(const Image& image, const PixelMask& selection, Rgb background);

}  // namespace orvix
