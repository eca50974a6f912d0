#include "pages/edit/retouch.h"

#include "errors.h"

namespace orvix {
namespace {

constexpr std::uint8_t kWhitenFrom = 226;
// gray >= 226 without the division: 21R + 71G + 8B >= 22600.
constexpr int kWhitenWeighted = kWhitenFrom * 100;

void requireSameSize(const Image& image, const PixelMask& mask) {
    if (image.width() != mask.width() || image.height() != mask.height()) {
        throw Error("selection does not match the image");
    }
}

Rgb cast(Rgb c, Rgb colour) { return grayValue(c) >= kWhitenFrom ? kWhite : colour; }

}  // namespace

std::uint8_t grayValue(Rgb c) { return static_cast<std::uint8_t>((21 * c.r + 71 * c.g + 8 * c.b) / 100); }

Image fillSelection(Image image, const PixelMask& selection, Rgb colour) {
    requireSameSize(image, selection);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (selection.test(x, y)) image.setPixel(x, y, colour);
        }
    }
    return image;
}

Image castToColor(Image image, Rgb colour) {
    std::uint8_t* p = image.data();
    const std::size_t size = image.byteSize();
    for (std::size_t i = 0; i < size; i += 3) {
        const bool white = 21 * p[i] + 71 * p[i + 1] + 8 * p[i + 2] >= kWhitenWeighted;
        p[i] = white ? 255 : colour.r;
        p[i + 1] = white ? 255 : colour.g;
        p[i + 2] = white ? 255 : colour.b;
    }
    return image;
}

Image castToColor(Image image, const PixelMask& selection, Rgb colour) {
    requireSameSize(image, selection);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (selection.test(x, y)) image.setPixel(x, y, cast(image.pixel(x, y), colour));
        }
    }
    return image;
}

}  // namespace orvix
