#include "pages/edit/resample.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "errors.h"

namespace orvix {
namespace {

std::vector<int> sourceIndexes(int sourceSize, int targetSize) {
    const double ratio = static_cast<double>(sourceSize) / targetSize;
    std::vector<int> map(static_cast<std::size_t>(targetSize));
    for (int i = 0; i < targetSize; ++i) {
        // Rounding in the product must not step past the last source pixel.
        map[static_cast<std::size_t>(i)] = std::min(static_cast<int>(i * ratio), sourceSize - 1);
    }
    return map;
}

struct Target {
    int width, height;
    bool unchanged;
};

Target target(int sourceWidth, int sourceHeight, int width, int height) {
    if (width < 0 || height < 0) throw Error("negative resample size");
    const int w = width == 0 ? sourceWidth : width;
    const int h = height == 0 ? sourceHeight : height;
    const bool empty = sourceWidth == 0 || sourceHeight == 0;
    return {w, h, empty || (w == sourceWidth && h == sourceHeight)};
}

}  // namespace

Image resampleNearest(const Image& source, int width, int height) {
    const Target t = target(source.width(), source.height(), width, height);
    if (t.unchanged) return source;
    const std::vector<int> xs = sourceIndexes(source.width(), t.width);
    const std::vector<int> ys = sourceIndexes(source.height(), t.height);
    Image out(t.width, t.height);
    for (int y = 0; y < t.height; ++y) {
        const std::uint8_t* in = source.row(ys[static_cast<std::size_t>(y)]);
        std::uint8_t* o = out.row(y);
        for (int x = 0; x < t.width; ++x, o += 3) std::memcpy(o, in + 3 * static_cast<std::size_t>(xs[static_cast<std::size_t>(x)]), 3);
    }
    return out;
}

PixelMask resampleNearest(const PixelMask& source, int width, int height) {
    const Target t = target(source.width(), source.height(), width, height);
    if (t.unchanged) return source;
    const std::vector<int> xs = sourceIndexes(source.width(), t.width);
    const std::vector<int> ys = sourceIndexes(source.height(), t.height);
    PixelMask out(t.width, t.height);
    for (int y = 0; y < t.height; ++y) {
        for (int x = 0; x < t.width; ++x) {
            out.set(x, y, source.test(xs[static_cast<std::size_t>(x)], ys[static_cast<std::size_t>(y)]));
        }
    }
    return out;
}

}  // namespace orvix
