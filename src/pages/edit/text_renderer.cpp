#include "pages/edit/text_renderer.h"

#include <algorithm>
#include <cstdlib>
#include <limits>

namespace orvix {

std::uint32_t colorRef(int r, int g, int b) {
    return static_cast<std::uint32_t>(b) << 16 | static_cast<std::uint32_t>(g) << 8 | static_cast<std::uint32_t>(r);
}

Rgb colorRefToRgb(std::uint32_t colour) {
    return {static_cast<std::uint8_t>(colour & 0xFF), static_cast<std::uint8_t>(colour >> 8 & 0xFF),
            static_cast<std::uint8_t>(colour >> 16 & 0xFF)};
}

int pointsToPixels(int points) {
    const long long scaled = static_cast<long long>(points) * 96;
    // Halves round away from zero.
    const long long magnitude = (std::llabs(scaled) + 36) / 72;
    const long long pixels = scaled < 0 ? -magnitude : magnitude;
    return static_cast<int>(std::clamp<long long>(pixels, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

}  // namespace orvix
