#include "pages/edit/rotate.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>

#include "errors.h"

namespace orvix {
namespace {

void copyPixel(std::uint8_t* to, const Image& source, int x, int y) {
    std::memcpy(to, source.row(y) + 3 * static_cast<std::size_t>(x), 3);
}

// dest(dx, dy) = source(pick(dx, dy)), for the exact quarter turns.
template <typename Pick>
Image turn(const Image& source, int width, int height, Pick pick) {
    Image out(width, height);
    for (int dy = 0; dy < height; ++dy) {
        std::uint8_t* o = out.row(dy);
        for (int dx = 0; dx < width; ++dx, o += 3) {
            const auto [sx, sy] = pick(dx, dy);
            copyPixel(o, source, sx, sy);
        }
    }
    return out;
}

int rotatedSide(double size) {
    const double r = std::round(size);
    // Three bytes a pixel must still index within an int-sized row.
    if (r > static_cast<double>(std::numeric_limits<int>::max() / 3)) throw Error("rotated image too large");
    return static_cast<int>(r);
}

}  // namespace

double normalizedDegrees(double degrees) {
    if (!std::isfinite(degrees)) throw Error("rotation angle is not a finite number");
    double a = std::fmod(degrees, 360.0);
    if (a < 0) a += 360.0;
    // -1e-20 + 360 rounds to 360.
    if (a >= 360.0) a = 0.0;
    return a;
}

Image rotate(const Image& source, double degrees, Rgb background) {
    const double a = normalizedDegrees(degrees);
    const int w = source.width();
    const int h = source.height();
    if (a == 0.0 || source.empty()) return source;
    if (a == 90.0) return turn(source, h, w, [w](int dx, int dy) { return std::pair{w - 1 - dy, dx}; });
    if (a == 180.0) return turn(source, w, h, [w, h](int dx, int dy) { return std::pair{w - 1 - dx, h - 1 - dy}; });
    if (a == 270.0) return turn(source, h, w, [h](int dx, int dy) { return std::pair{dy, h - 1 - dx}; });

    const double rad = a * std::numbers::pi / 180.0;
    const double c = std::cos(rad);
    const double s = std::sin(rad);
    const int nw = rotatedSide(std::abs(c) * w + std::abs(s) * h);
    const int nh = rotatedSide(std::abs(s) * w + std::abs(c) * h);
    if (static_cast<double>(nw) * nh * 3 > static_cast<double>(std::numeric_limits<std::ptrdiff_t>::max() / 2)) {
        throw Error("rotated image too large");
    }

    Image out(nw, nh);
    const double scx = w / 2.0, scy = h / 2.0;
    const double dcx = nw / 2.0, dcy = nh / 2.0;
    for (int dy = 0; dy < nh; ++dy) {
        const double v = dy + 0.5 - dcy;
        // Screen y points down, so an anticlockwise turn maps
        // (x, y) -> (x·c + y·s, -x·s + y·c); this is its inverse.
        const double rowX = scx - v * s;
        const double rowY = scy + v * c;
        std::uint8_t* o = out.row(dy);
        for (int dx = 0; dx < nw; ++dx, o += 3) {
            const double u = dx + 0.5 - dcx;
            const double sx = rowX + u * c;
            const double sy = rowY + u * s;
            // Checked before truncating, so truncation is the floor.
            if (sx >= 0 && sy >= 0 && sx < w && sy < h) {
                copyPixel(o, source, static_cast<int>(sx), static_cast<int>(sy));
            } else {
                o[0] = background.r;
                o[1] = background.g;
                o[2] = background.b;
            }
        }
    }
    return out;
}

}  // namespace orvix
