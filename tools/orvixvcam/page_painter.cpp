#include "page_painter.h"

#include <algorithm>
#include <cstring>

namespace orvix::vcam {
namespace {

struct Colour {
    std::uint8_t r, g, b;
};

constexpr Colour kPaper{252, 252, 250};
constexpr Colour kInk{35, 35, 45};
constexpr Colour kMark{210, 30, 30};
constexpr Colour kInstanceMark{30, 40, 200};

std::uint32_t hash(std::uint32_t a, std::uint32_t b, std::uint32_t c) {
    std::uint32_t h = a * 0x9e3779b1u ^ (b + 0x7f4a7c15u) * 0x85ebca6bu ^ (c + 0x165667b1u) * 0xc2b2ae35u;
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    return h;
}

// Fills [x0, x1) x [y0, y1), y counted from the top of the picture.
void fillRect(Dib dib, int x0, int y0, int x1, int y1, Colour c) {
    x0 = std::clamp(x0, 0, dib.width);
    x1 = std::clamp(x1, 0, dib.width);
    y0 = std::clamp(y0, 0, dib.height);
    y1 = std::clamp(y1, 0, dib.height);
    const std::size_t stride = dibStride(dib.width);
    for (int y = y0; y < y1; ++y) {
        std::uint8_t* p = dib.bits + stride * static_cast<std::size_t>(dib.height - 1 - y) + 3 * static_cast<std::size_t>(x0);
        for (int x = x0; x < x1; ++x, p += 3) {
            p[0] = c.b;
            p[1] = c.g;
            p[2] = c.r;
        }
    }
}

// Seven-segment digit in the box (x, y, w, h), stroke t.
void paintDigit(Dib dib, int digit, int x, int y, int w, int h, int t) {
    // Segments a..g as bits 0..6.
    static constexpr std::uint8_t kSegments[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};
    const std::uint8_t s = kSegments[digit % 10];
    const int mid = y + h / 2 - t / 2;
    if (s & 0x01) fillRect(dib, x, y, x + w, y + t, kInk);
    if (s & 0x02) fillRect(dib, x + w - t, y, x + w, y + h / 2, kInk);
    if (s & 0x04) fillRect(dib, x + w - t, y + h / 2, x + w, y + h, kInk);
    if (s & 0x08) fillRect(dib, x, y + h - t, x + w, y + h, kInk);
    if (s & 0x10) fillRect(dib, x, y + h / 2, x + t, y + h, kInk);
    if (s & 0x20) fillRect(dib, x, y, x + t, y + h / 2, kInk);
    if (s & 0x40) fillRect(dib, x, mid, x + w, mid + t, kInk);
}

void paintTextLines(Dib dib) {
    const int w = dib.width, h = dib.height;
    const int left = w / 12, right = w - w / 12;
    const int pitch = std::max(4, h / 24);
    const int stroke = std::max(2, h / 70);
    const int unit = std::max(2, w / 100);
    int line = 0;
    for (int y = h / 5; y + stroke < h * 17 / 20; y += pitch, ++line) {
        // Paragraphs: every seventh line is blank, the last of a paragraph short.
        if (line % 7 == 6) continue;
        const int end = line % 7 == 5 ? left + (right - left) * 3 / 5 : right;
        int x = left + (line % 7 == 0 ? 4 * unit : 0);
        for (int word = 0; x < end; ++word) {
            const int len = unit * (3 + static_cast<int>(hash(static_cast<std::uint32_t>(line), static_cast<std::uint32_t>(word), 7) % 10));
            fillRect(dib, x, y, std::min(x + len, end), y + stroke, kInk);
            x += len + unit * 3 / 2;
        }
    }
}

}  // namespace

std::size_t dibStride(int width) { return (static_cast<std::size_t>(width) * 3 + 3) & ~static_cast<std::size_t>(3); }

std::size_t dibBytes(int width, int height) { return dibStride(width) * static_cast<std::size_t>(height); }

void paintPage(Dib dib, int instance) {
    const int w = dib.width, h = dib.height;
    const std::size_t stride = dibStride(w);
    // Paper with a fixed grain.
    for (int row = 0; row < h; ++row) {
        std::uint8_t* p = dib.bits + stride * static_cast<std::size_t>(row);
        for (int x = 0; x < w; ++x, p += 3) {
            const auto grain = static_cast<std::uint8_t>(hash(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(row), 1) % 5);
            p[0] = static_cast<std::uint8_t>(kPaper.b - grain);
            p[1] = static_cast<std::uint8_t>(kPaper.g - grain);
            p[2] = static_cast<std::uint8_t>(kPaper.r - grain);
        }
        std::memset(dib.bits + stride * static_cast<std::size_t>(row) + 3 * static_cast<std::size_t>(w), 0,
                    stride - 3 * static_cast<std::size_t>(w));
    }
    const int side = std::max(4, w / 10);
    fillRect(dib, w / 32, h / 32, w / 32 + side, h / 32 + side, kMark);
    const int small = std::max(2, side / 3);
    for (int i = 0; i <= instance; ++i) {
        const int x1 = w - w / 32 - i * (small + small / 2);
        fillRect(dib, x1 - small, h / 32, x1, h / 32 + small, kInstanceMark);
    }
    // Heading.
    fillRect(dib, w / 4, h / 10, w * 3 / 4, h / 10 + std::max(3, h / 36), kInk);
    paintTextLines(dib);
}

void paintFrameDetails(Dib dib, std::uint32_t frame) {
    const int w = dib.width, h = dib.height;
    const int dh = std::max(7, h / 14), dw = std::max(4, dh / 2), t = std::max(1, dh / 8);
    const int digits = 6;
    int x = w - w / 24 - digits * (dw + dw / 2);
    const int y = h - h / 24 - dh;
    fillRect(dib, x - dw / 2, y - dh / 4, w - w / 24 + dw / 2, y + dh + dh / 4, kPaper);
    std::uint32_t divisor = 100000;
    for (int i = 0; i < digits; ++i, divisor /= 10, x += dw + dw / 2) {
        paintDigit(dib, static_cast<int>(frame / divisor % 10), x, y, dw, dh, t);
    }
    // Sensor noise on a different eighth of the rows each frame.
    const std::size_t stride = dibStride(w);
    for (int row = static_cast<int>(frame % 8); row < h; row += 8) {
        std::uint8_t* p = dib.bits + stride * static_cast<std::size_t>(row);
        for (int i = 0; i < 3 * w; ++i) {
            const auto n = static_cast<std::uint8_t>(hash(static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(row), frame) & 3);
            p[i] = p[i] > n ? static_cast<std::uint8_t>(p[i] - n) : 0;
        }
    }
}

}  // namespace orvix::vcam
