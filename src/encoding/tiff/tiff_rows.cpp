#include "encoding/tiff/tiff_rows.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace orvix::tiff {
namespace {

std::uint64_t padTo4(std::uint64_t n) { return (n + 3) & ~std::uint64_t{3}; }

// sRGB to linear light, one entry per 8-bit value.
const std::array<double, 256>& linearTable() {
    static const std::array<double, 256> table = [] {
        std::array<double, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            t[i] = c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
        }
        return t;
    }();
    return table;
}

double labF(double t) { return t > 0.008856 ? std::cbrt(t) : 7.787 * t + 16.0 / 116.0; }

// CIE L*a*b* against the D65 white, as 8-bit TIFF stores it: L* scaled to
// 0..255, a* and b* as signed bytes.
void toLab(const std::uint8_t* rgb, std::uint8_t* lab) {
    const auto& lin = linearTable();
    const double r = lin[rgb[0]], g = lin[rgb[1]], b = lin[rgb[2]];
    const double x = (0.4124 * r + 0.3576 * g + 0.1805 * b) / 0.95047;
    const double y = 0.2126 * r + 0.7152 * g + 0.0722 * b;
    const double z = (0.0193 * r + 0.1192 * g + 0.9505 * b) / 1.08883;
    const double fx = labF(x), fy = labF(y), fz = labF(z);
    const double l = 116.0 * fy - 16.0;
    const double a = 500.0 * (fx - fy), bb = 200.0 * (fy - fz);
    lab[0] = static_cast<std::uint8_t>(std::clamp(std::lround(l * 255.0 / 100.0), 0L, 255L));
    lab[1] = static_cast<std::uint8_t>(static_cast<std::int8_t>(std::clamp(std::lround(a), -128L, 127L)));
    lab[2] = static_cast<std::uint8_t>(static_cast<std::int8_t>(std::clamp(std::lround(bb), -128L, 127L)));
}

// Ink amounts, 0 = no ink: K from the brightest channel, C, M, Y relative to it.
void toCmyk(const std::uint8_t* rgb, std::uint8_t* cmyk) {
    const unsigned max = std::max({rgb[0], rgb[1], rgb[2]});
    if (max == 0) {
        cmyk[0] = cmyk[1] = cmyk[2] = 0;
        cmyk[3] = 255;
        return;
    }
    for (int c = 0; c < 3; ++c) cmyk[c] = static_cast<std::uint8_t>((255u * (max - rgb[c]) + max / 2) / max);
    cmyk[3] = static_cast<std::uint8_t>(255 - max);
}

}  // namespace

bool isWhite(const std::uint8_t* rgb) { return 299 * rgb[0] + 587 * rgb[1] + 114 * rgb[2] >= 128 * 1000; }

Image blackAndWhite(const Image& image) {
    Image out(image.width(), image.height());
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* src = image.row(y);
        std::uint8_t* dst = out.row(y);
        for (int x = 0; x < image.width(); ++x) std::fill_n(dst + 3 * x, 3, isWhite(src + 3 * x) ? 255 : 0);
    }
    return out;
}

RowConverter::RowConverter(const Image& image, const TiffLayout& layout) : image_(image), layout_(layout) {
    const std::size_t w = static_cast<std::size_t>(image.width());
    std::size_t bytes = w * 3;
    if (layout.bilevel) {
        kind_ = Kind::Bilevel;
        bytes = (w + 7) / 8;
    } else if (layout.photometric == kPalette || layout.photometric == kBlackIsZero) {
        kind_ = Kind::Indexed;
        bytes = layout.indexBits == 16 ? w * 2 : (w * static_cast<std::size_t>(layout.indexBits) + 7) / 8;
    } else if (layout.photometric == kSeparated) {
        kind_ = Kind::Cmyk;
        bytes = w * 4;
    } else if (layout.photometric == kCieLab) {
        kind_ = Kind::Lab;
    } else {
        kind_ = layout.predictor ? Kind::RgbDifferenced : Kind::Rgb;
    }
    buffer_.assign(bytes, 0);
}

std::uint64_t RowConverter::memoryRowLength() const {
    const std::uint64_t w = static_cast<std::uint64_t>(image_.width());
    return padTo4(kind_ == Kind::Bilevel ? (w + 7) / 8 : w * 3);
}

std::span<const std::uint8_t> RowConverter::row(int y) {
    const std::uint8_t* src = image_.row(y);
    const int w = image_.width();
    std::uint8_t* out = buffer_.data();
    switch (kind_) {
        case Kind::Rgb:
            std::copy_n(src, buffer_.size(), out);
            break;
        case Kind::RgbDifferenced:
            std::copy_n(src, 3, out);
            for (std::size_t i = 3; i < buffer_.size(); ++i) out[i] = static_cast<std::uint8_t>(src[i] - src[i - 3]);
            break;
        case Kind::Indexed: {
            std::fill(buffer_.begin(), buffer_.end(), 0);
            const int bits = layout_.indexBits;
            for (int x = 0; x < w; ++x) {
                const std::uint8_t index = layout_.palette->indexOf({src[3 * x], src[3 * x + 1], src[3 * x + 2]});
                if (bits == 16) {
                    out[2 * x] = out[2 * x + 1] = index;  // index * 257, either byte order
                } else if (bits == 8) {
                    out[x] = index;
                } else {
                    // Most significant bit first; an index may straddle two bytes.
                    std::size_t bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(bits);
                    for (int b = bits - 1; b >= 0; --b, ++bit)
                        if ((index >> b) & 1) out[bit / 8] |= static_cast<std::uint8_t>(0x80 >> (bit % 8));
                }
            }
            break;
        }
        case Kind::Bilevel:
            std::fill(buffer_.begin(), buffer_.end(), 0);
            for (int x = 0; x < w; ++x)
                if (isWhite(src + 3 * x) != layout_.invert) out[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
            break;
        case Kind::Cmyk:
            for (int x = 0; x < w; ++x) toCmyk(src + 3 * x, out + 4 * x);
            break;
        case Kind::Lab:
            for (int x = 0; x < w; ++x) toLab(src + 3 * x, out + 3 * x);
            break;
    }
    return buffer_;
}

}  // namespace orvix::tiff
