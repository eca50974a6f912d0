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
    // Byte offsets of the source pixels. Up to `wide` a pixel is copied as 4
    // bytes: its source is not the row's last pixel and the spare byte lands
    // on the next target pixel, which is written afterwards.
    std::vector<std::size_t> offsets(xs.size());
    std::size_t wide = 0;
    for (std::size_t x = 0; x < xs.size(); ++x) {
        offsets[x] = 3 * static_cast<std::size_t>(xs[x]);
        if (x + 1 < xs.size() && xs[x] + 1 < source.width()) wide = x + 1;
    }
    Image out(t.width, t.height);
    for (int y = 0; y < t.height; ++y) {
        std::uint8_t* o = out.row(y);
        if (y > 0 && ys[static_cast<std::size_t>(y)] == ys[static_cast<std::size_t>(y) - 1]) {
            // Enlarging repeats source rows: the row just made is the same.
            std::memcpy(o, out.row(y - 1), out.stride());
            continue;
        }
        const std::uint8_t* in = source.row(ys[static_cast<std::size_t>(y)]);
        std::size_t x = 0;
        for (; x < wide; ++x, o += 3) std::memcpy(o, in + offsets[x], 4);
        for (; x < offsets.size(); ++x, o += 3) std::memcpy(o, in + offsets[x], 3);
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
