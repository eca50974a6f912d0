#pragma once
// The watermark picture: its transparency, its size rules and the stamp.
#include <optional>

#include "pages/edit/pixel_mask.h"
#include "pages/image.h"

namespace orvix {

// Pixels whose red, green and blue all lie within low..high (inclusive).
PixelMask pixelsInRange(const Image& image, Rgb low, Rgb high);

// The step run after each watermark load: near-white (250..255 in all three
// channels) becomes transparent. Set bits are the transparent pixels.
PixelMask watermarkTransparency(const Image& picture);

struct PixelSize {
    int width = 0, height = 0;
    friend bool operator==(const PixelSize&, const PixelSize&) = default;
};

// The size drawWaterMark resizes a picture of own size to: 0 keeps that side,
// -1 derives it from the other side keeping the aspect ratio (rounded), any
// other negative counts as its absolute value, and a result below 1 becomes 1.
// nullopt refuses: both sides negative (nothing to derive from) or an empty
// picture.
std::optional<PixelSize> watermarkSize(PixelSize own, int width, int height);

// The picture pasted with its top-left corner at (x, y), cut at the page's
// edges (a negative x or y cuts off the picture's left or top part).
// Transparent pixels, when given, leave the page's pixels alone; a mask of
// another size than the picture throws Error.
Image stampPicture(Image page, const Image& picture, int x, int y);
Image stampPicture(Image page, const Image& picture, const PixelMask& transparent, int x, int y);

}  // namespace orvix
