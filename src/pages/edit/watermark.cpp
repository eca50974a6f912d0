#include "pages/edit/watermark.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "errors.h"

namespace orvix {
namespace {

constexpr Rgb kClearLow{250, 250, 250};
constexpr Rgb kClearHigh{255, 255, 255};

bool inRange(std::uint8_t v, std::uint8_t low, std::uint8_t high) { return v >= low && v <= high; }

int derived(long long other, int ownOther, int ownThis) {
    return static_cast<int>(std::clamp<long long>(std::llround(static_cast<double>(other) * ownThis / ownOther), 1,
                                                  std::numeric_limits<int>::max()));
}

Image stamp(Image page, const Image& picture, const PixelMask* transparent, int x, int y) {
    // 64-bit so offsets near the int limits cannot wrap.
    const long long left = std::max<long long>(x, 0);
    const long long top = std::max<long long>(y, 0);
    const long long right = std::min<long long>(static_cast<long long>(x) + picture.width(), page.width());
    const long long bottom = std::min<long long>(static_cast<long long>(y) + picture.height(), page.height());
    for (long long py = top; py < bottom; ++py) {
        const int sy = static_cast<int>(py - y);
        for (long long px = left; px < right; ++px) {
            const int sx = static_cast<int>(px - x);
            if (transparent && transparent->test(sx, sy)) continue;
            std::memcpy(page.row(static_cast<int>(py)) + 3 * px, picture.row(sy) + 3 * static_cast<std::size_t>(sx), 3);
        }
    }
    return page;
}

}  // namespace

PixelMask pixelsInRange(const Image& image, Rgb low, Rgb high) {
    PixelMask mask(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const Rgb c = image.pixel(x, y);
            if (inRange(c.r, low.r, high.r) && inRange(c.g, low.g, high.g) && inRange(c.b, low.b, high.b)) {
                mask.set(x, y);
            }
        }
    }
    return mask;
}

PixelMask watermarkTransparency(const Image& picture) { return pixelsInRange(picture, kClearLow, kClearHigh); }

std::optional<PixelSize> watermarkSize(PixelSize own, int width, int height) {
    if (own.width <= 0 || own.height <= 0) return std::nullopt;
    if (width < 0 && height < 0) return std::nullopt;
    // Taken as long long: the absolute value of INT_MIN does not fit an int.
    auto side = [](int requested, int ownSide) -> long long {
        if (requested == 0) return ownSide;
        return std::llabs(static_cast<long long>(requested));
    };
    long long w = width == -1 ? 0 : side(width, own.width);
    long long h = height == -1 ? 0 : side(height, own.height);
    if (width == -1) w = derived(h, own.height, own.width);
    if (height == -1) h = derived(w, own.width, own.height);
    auto fit = [](long long v) { return static_cast<int>(std::clamp<long long>(v, 1, std::numeric_limits<int>::max())); };
    return PixelSize{fit(w), fit(h)};
}

Image stampPicture(Image page, const Image& picture, int x, int y) {
    return stamp(std::move(page), picture, nullptr, x, y);
}

Image stampPicture(Image page, const Image& picture, const PixelMask& transparent, int x, int y) {
    if (transparent.width() != picture.width() || transparent.height() != picture.height()) {
        throw Error("transparency does not match the picture");
    }
    return stamp(std::move(page), picture, &transparent, x, y);
}

}  // namespace orvix
