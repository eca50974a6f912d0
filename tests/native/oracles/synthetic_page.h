#pragma once
// A document-camera page made up for tests and benchmarks: off-white paper
// with slight sensor noise and a slow lighting gradient, lines of dark
// "words" made of strokes, and a margin. Deterministic for a given seed.
#include <algorithm>
#include <cstdint>
#include <random>

#include "pages/image.h"

namespace orvix::oracle {

inline Image makeDocumentPage(int width, int height, std::uint32_t seed = 1) {
    Image page(width, height);
    std::mt19937 rng(seed);
    auto noise = [&rng] { return static_cast<int>(rng() % 5) - 2; };
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = page.row(y);
        const int light = 244 - (y * 10) / std::max(1, height);
        for (int x = 0; x < width; ++x) {
            const int v = light - (x * 6) / std::max(1, width);
            row[3 * x] = static_cast<std::uint8_t>(std::clamp(v + noise(), 0, 255));
            row[3 * x + 1] = static_cast<std::uint8_t>(std::clamp(v + 1 + noise(), 0, 255));
            row[3 * x + 2] = static_cast<std::uint8_t>(std::clamp(v - 4 + noise(), 0, 255));
        }
    }
    const int lineHeight = std::max(6, height / 45);
    const int margin = width / 12;
    for (int top = height / 10; top + lineHeight < height - height / 10; top += lineHeight * 2) {
        int x = margin + static_cast<int>(rng() % 40);
        const int lineEnd = width - margin - static_cast<int>(rng() % (width / 4 + 1));
        while (x < lineEnd) {
            const int wordEnd = std::min(lineEnd, x + 10 + static_cast<int>(rng() % 80));
            for (; x < wordEnd; x += 2 + static_cast<int>(rng() % 4)) {
                // One glyph stroke: a vertical bar of random height, 1 to 3 pixels wide.
                const int strokeTop = top + static_cast<int>(rng() % (lineHeight / 2 + 1));
                const int strokeWidth = 1 + static_cast<int>(rng() % 3);
                const int ink = 25 + static_cast<int>(rng() % 40);
                for (int y = strokeTop; y < top + lineHeight; ++y)
                    for (int dx = 0; dx < strokeWidth && x + dx < width; ++dx) {
                        std::uint8_t* p = page.row(y) + 3 * (x + dx);
                        p[0] = static_cast<std::uint8_t>(ink + noise() + 2);
                        p[1] = static_cast<std::uint8_t>(ink + noise() + 2);
                        p[2] = static_cast<std::uint8_t>(ink + noise() + 8);
                    }
            }
            x += 8 + static_cast<int>(rng() % 10);
        }
    }
    return page;
}

}  // namespace orvix::oracle
