#include "pages/edit/black_border.h"

#include <algorithm>

#include "pages/edit/retouch.h"

namespace orvix {
namespace {

// Exactly these decimals: 0.0309090909090909 is a hair under 34/1100, which
// puts the top edge of an 1100-row page at 33.
constexpr double kLeft = 0.0470588235294118;
constexpr double kTop = 0.0309090909090909;
constexpr double kRight = 0.956470588235294;
constexpr double kBottom = 0.968181818181818;

int scaled(int size, double factor) { return static_cast<int>(size * factor); }

}  // namespace

PixelRect blackBorderKeep(int width, int height) {
    if (width <= 0 || height <= 0) return {};
    return {std::clamp(scaled(width, kLeft), 0, width - 1), std::clamp(scaled(height, kTop), 0, height - 1),
            std::clamp(scaled(width, kRight), 0, width), std::clamp(scaled(height, kBottom), 0, height)};
}

Image removeBlackBorder(Image image) {
    if (image.empty()) return image;
    const PixelRect keep = blackBorderKeep(image.width(), image.height());
    // An empty rectangle inverts to the whole image, which counts as no
    // selection: the whole image is filled.
    const PixelMask band =
        PixelMask::rectangle(image.width(), image.height(), keep.left, keep.top, keep.right, keep.bottom).inverted();
    return fillSelection(std::move(image), band, kWhite);
}

}  // namespace orvix
