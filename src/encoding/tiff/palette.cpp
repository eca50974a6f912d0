#include "encoding/tiff/palette.h"

#include <algorithm>
#include <map>

#include "errors.h"

namespace orvix::tiff {
namespace {

std::uint32_t key(Rgb c) { return (std::uint32_t{c.r} << 16) | (std::uint32_t{c.g} << 8) | c.b; }

int levelIndex(int v, int levels) { return levels <= 1 ? 0 : (v * (levels - 1) + 127) / 255; }
std::uint8_t levelValue(int i, int levels) {
    return static_cast<std::uint8_t>(levels <= 1 ? 128 : (i * 255 + (levels - 1) / 2) / (levels - 1));
}

bool isGrey(const Image& image) {
    const std::uint8_t* p = image.data();
    for (std::size_t i = 0; i < image.byteSize(); i += 3)
        if (p[i] != p[i + 1] || p[i] != p[i + 2]) return false;
    return true;
}

}  // namespace

Palette Palette::build(const Image& image, int maxColours) {
    if (maxColours < 2 || maxColours > 256) throw Error("Palette size " + std::to_string(maxColours) + " out of range");
    Palette p;
    if (isGrey(image)) {
        p.kind_ = Kind::Grey;
        for (int i = 0; i < maxColours; ++i) {
            const std::uint8_t v = levelValue(i, maxColours);
            p.colours_.push_back({v, v, v});
        }
        return p;
    }
    // Few colours: keep them exactly.
    std::map<std::uint32_t, Rgb> seen;
    for (int y = 0; y < image.height() && seen.size() <= static_cast<std::size_t>(maxColours); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const Rgb c = image.pixel(x, y);
            seen.emplace(key(c), c);
            if (seen.size() > static_cast<std::size_t>(maxColours)) break;
        }
    if (seen.size() <= static_cast<std::size_t>(maxColours)) {
        p.kind_ = Kind::Exact;
        for (const auto& [k, c] : seen) {
            p.exact_.emplace(k, static_cast<std::uint8_t>(p.colours_.size()));
            p.colours_.push_back(c);
        }
        return p;
    }
    // Green gets the most bits, blue the fewest.
    int bits = 0;
    while ((2 << bits) <= maxColours) ++bits;
    p.kind_ = Kind::Cube;
    p.bitsG_ = (bits + 2) / 3;
    p.bitsR_ = (bits + 1) / 3;
    p.bitsB_ = bits / 3;
    const int lr = 1 << p.bitsR_, lg = 1 << p.bitsG_, lb = 1 << p.bitsB_;
    for (int r = 0; r < lr; ++r)
        for (int g = 0; g < lg; ++g)
            for (int b = 0; b < lb; ++b) p.colours_.push_back({levelValue(r, lr), levelValue(g, lg), levelValue(b, lb)});
    return p;
}

std::uint8_t Palette::indexOf(Rgb c) const {
    switch (kind_) {
        case Kind::Grey:
            return static_cast<std::uint8_t>(levelIndex(c.r, static_cast<int>(colours_.size())));
        case Kind::Exact: {
            const auto it = exact_.find(key(c));
            return it == exact_.end() ? 0 : it->second;
        }
        case Kind::Cube:
            break;
    }
    const int r = levelIndex(c.r, 1 << bitsR_), g = levelIndex(c.g, 1 << bitsG_), b = levelIndex(c.b, 1 << bitsB_);
    return static_cast<std::uint8_t>((r << (bitsG_ + bitsB_)) | (g << bitsB_) | b);
}

}  // namespace orvix::tiff
