#include "pages/edit/pixel_mask.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "errors.h"

namespace orvix {
namespace {

// Far outside any image, small enough that edge arithmetic stays exact in
// doubles and tracing an edge stays short.
constexpr long long kCoordLimit = 1LL << 20;

PixelPoint clampVertex(PixelPoint p) {
    return {static_cast<int>(std::clamp<long long>(p.x, -kCoordLimit, kCoordLimit)),
            static_cast<int>(std::clamp<long long>(p.y, -kCoordLimit, kCoordLimit))};
}

void traceLine(PixelMask& mask, PixelPoint a, PixelPoint b) {
    // An edge wholly beside the image touches none of its pixels.
    if ((a.x < 0 && b.x < 0) || (a.y < 0 && b.y < 0) || (a.x >= mask.width() && b.x >= mask.width()) ||
        (a.y >= mask.height() && b.y >= mask.height())) {
        return;
    }
    const long long dx = std::llabs(static_cast<long long>(b.x) - a.x);
    const long long dy = -std::llabs(static_cast<long long>(b.y) - a.y);
    const int sx = a.x < b.x ? 1 : -1;
    const int sy = a.y < b.y ? 1 : -1;
    long long err = dx + dy;
    int x = a.x, y = a.y;
    for (;;) {
        if (x >= 0 && y >= 0 && x < mask.width() && y < mask.height()) mask.set(x, y);
        if (x == b.x && y == b.y) break;
        const long long e2 = 2 * err;
        if (e2 >= dy) {
            err += dy;
            x += sx;
        }
        if (e2 <= dx) {
            err += dx;
            y += sy;
        }
    }
}

}  // namespace

PixelMask::PixelMask(int width, int height, bool value) {
    if (width < 0 || height < 0) throw Error("negative mask size");
    if (width == 0 || height == 0) return;
    width_ = width;
    height_ = height;
    bits_.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), value ? 1 : 0);
}

PixelMask PixelMask::rectangle(int width, int height, int x1, int y1, int x2, int y2) {
    PixelMask mask(width, height);
    const int left = std::clamp(std::min(x1, x2), 0, width);
    const int right = std::clamp(std::max(x1, x2), 0, width);
    const int top = std::clamp(std::min(y1, y2), 0, height);
    const int bottom = std::clamp(std::max(y1, y2), 0, height);
    for (int y = top; y < bottom; ++y) {
        std::fill_n(mask.bits_.begin() + static_cast<std::ptrdiff_t>(mask.index(left, y)), right - left, 1);
    }
    return mask;
}

PixelMask PixelMask::polygon(int width, int height, std::span<const PixelPoint> vertices) {
    PixelMask mask(width, height);
    if (vertices.empty() || mask.bits_.empty()) return mask;
    std::vector<PixelPoint> v;
    v.reserve(vertices.size());
    for (PixelPoint p : vertices) v.push_back(clampVertex(p));

    // Interior: pixel centres are the integer points of vertex space.
    std::vector<double> crossings;
    for (int y = 0; y < height; ++y) {
        crossings.clear();
        for (std::size_t i = 0; i < v.size(); ++i) {
            const PixelPoint a = v[i];
            const PixelPoint b = v[(i + 1) % v.size()];
            if ((a.y > y) == (b.y > y)) continue;
            const double t = static_cast<double>((static_cast<long long>(y) - a.y) * (static_cast<long long>(b.x) - a.x)) /
                             static_cast<double>(static_cast<long long>(b.y) - a.y);
            crossings.push_back(a.x + t);
        }
        std::sort(crossings.begin(), crossings.end());
        // Odd number of crossings to the right: x in [c0, c1), [c2, c3), ...
        for (std::size_t k = 0; k + 1 < crossings.size(); k += 2) {
            const double from = std::max(std::ceil(crossings[k]), 0.0);
            const double to = std::min(std::ceil(crossings[k + 1]), static_cast<double>(width));
            for (int x = static_cast<int>(from); x < static_cast<int>(to); ++x) mask.set(x, y);
        }
    }

    for (std::size_t i = 0; i < v.size(); ++i) traceLine(mask, v[i], v[(i + 1) % v.size()]);
    return mask;
}

std::size_t PixelMask::count() const { return static_cast<std::size_t>(std::count(bits_.begin(), bits_.end(), 1)); }

bool PixelMask::any() const { return std::find(bits_.begin(), bits_.end(), 1) != bits_.end(); }

PixelMask PixelMask::inverted() const {
    PixelMask out = *this;
    for (auto& b : out.bits_) b = b ? 0 : 1;
    return out;
}

std::optional<PixelRect> PixelMask::bounds() const {
    PixelRect box{width_, height_, -1, -1};
    for (int y = 0; y < height_; ++y) {
        const auto first = bits_.begin() + static_cast<std::ptrdiff_t>(index(0, y));
        const auto last = first + width_;
        const auto on = std::find(first, last, 1);
        if (on == last) continue;
        const auto lastOn = std::find(std::make_reverse_iterator(last), std::make_reverse_iterator(first), 1);
        box.left = std::min(box.left, static_cast<int>(on - first));
        box.right = std::max(box.right, static_cast<int>(lastOn.base() - first));
        box.top = std::min(box.top, y);
        box.bottom = y + 1;
    }
    if (box.bottom < 0) return std::nullopt;
    return box;
}

}  // namespace orvix
