#pragma once
// The colour quantiser for pages written with one sample per pixel: grey
// images get an even grey ramp, images with few colours an exact palette,
// others a uniform colour cube.
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "pages/image.h"

namespace orvix::tiff {

class Palette {
public:
    Palette() = default;
    // At most maxColours (2 to 256) entries.
    static Palette build(const Image& image, int maxColours);

    bool grey() const { return kind_ == Kind::Grey; }
    // Entry i is the colour of index i.
    const std::vector<Rgb>& colours() const { return colours_; }
    std::uint8_t indexOf(Rgb c) const;

private:
    enum class Kind { Grey, Exact, Cube };
    Kind kind_ = Kind::Grey;
    std::vector<Rgb> colours_;
    std::unordered_map<std::uint32_t, std::uint8_t> exact_;
    int bitsR_ = 0, bitsG_ = 0, bitsB_ = 0;
};

}  // namespace orvix::tiff
