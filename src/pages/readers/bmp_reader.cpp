// Windows and OS/2 bitmaps: every offset and length is checked against the buffer.
#include <algorithm>
#include <array>
#include <bit>
#include <vector>

#include "pages/readers/format_readers.h"

namespace orvix::readers {
namespace {

constexpr std::string_view kFormat = "BMP";
constexpr std::size_t kFileHeaderSize = 14;

enum Compression : std::uint32_t { kRgb = 0, kRle8 = 1, kRle4 = 2, kBitfields = 3, kAlphaBitfields = 6 };

std::uint32_t le16(Bytes b, std::size_t at) {
    if (at + 2 > b.size()) fail(kFormat, "truncated header");
    return static_cast<std::uint32_t>(b[at] | b[at + 1] << 8);
}

std::uint32_t le32(Bytes b, std::size_t at) {
    if (at + 4 > b.size()) fail(kFormat, "truncated header");
    return static_cast<std::uint32_t>(b[at]) | static_cast<std::uint32_t>(b[at + 1]) << 8 |
           static_cast<std::uint32_t>(b[at + 2]) << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

struct Masks {
    std::uint32_t red = 0, green = 0, blue = 0, alpha = 0;
};

struct Header {
    long long width = 0, height = 0;  // height < 0: rows stored top-down
    int bitCount = 0;
    std::uint32_t compression = kRgb;
    std::uint32_t colorsUsed = 0;
    long long xPerMetre = 0, yPerMetre = 0;
    std::size_t paletteOffset = 0;
    std::size_t paletteEntrySize = 4;
    std::size_t pixelOffset = 0;
    Masks masks;
};

Masks defaultMasks(int bitCount) {
    if (bitCount == 16) return {0x7C00, 0x03E0, 0x001F, 0};
    return {0xFF0000, 0x00FF00, 0x0000FF, 0};
}

Header readHeader(Bytes b) {
    if (b.size() < kFileHeaderSize + 12 || b[0] != 'B' || b[1] != 'M') fail(kFormat, "not a bitmap file");
    Header h;
    h.pixelOffset = le32(b, 10);
    const std::uint32_t infoSize = le32(b, 14);
    const std::size_t info = kFileHeaderSize;
    if (infoSize == 12) {
        // OS/2 BITMAPCOREHEADER: 16-bit unsigned sizes, 3-byte palette entries.
        h.width = le16(b, info + 4);
        h.height = le16(b, info + 6);
        h.bitCount = static_cast<int>(le16(b, info + 10));
        h.paletteEntrySize = 3;
    } else if (infoSize >= 16 && infoSize <= b.size() - info) {
        h.width = static_cast<std::int32_t>(le32(b, info + 4));
        h.height = static_cast<std::int32_t>(le32(b, info + 8));
        h.bitCount = static_cast<int>(le16(b, info + 14));
        if (infoSize >= 20) h.compression = le32(b, info + 16);
        if (infoSize >= 32) {
            h.xPerMetre = static_cast<std::int32_t>(le32(b, info + 24));
            h.yPerMetre = static_cast<std::int32_t>(le32(b, info + 28));
        }
        if (infoSize >= 36) h.colorsUsed = le32(b, info + 32);
    } else {
        fail(kFormat, "unsupported header size");
    }
    h.paletteOffset = info + infoSize;

    h.masks = defaultMasks(h.bitCount);
    if (h.compression == kBitfields || h.compression == kAlphaBitfields) {
        if (h.bitCount != 16 && h.bitCount != 32) fail(kFormat, "bit fields need 16 or 32 bits a pixel");
        // V2 and later headers carry the masks; a plain info header is followed by them.
        const bool inHeader = infoSize >= 52;
        const std::size_t at = inHeader ? info + 40 : h.paletteOffset;
        const bool hasAlpha = inHeader ? infoSize >= 56 : h.compression == kAlphaBitfields;
        h.masks = {le32(b, at), le32(b, at + 4), le32(b, at + 8), hasAlpha ? le32(b, at + 12) : 0};
        if (!inHeader) h.paletteOffset += hasAlpha ? 16 : 12;
    }
    return h;
}

void validate(const Header& h, std::size_t fileSize) {
    switch (h.bitCount) {
        case 1: case 4: case 8: case 16: case 24: case 32: break;
        default: fail(kFormat, "unsupported bit depth " + std::to_string(h.bitCount));
    }
    const bool ok = h.compression == kRgb || (h.compression == kRle8 && h.bitCount == 8) ||
                    (h.compression == kRle4 && h.bitCount == 4) || h.compression == kBitfields ||
                    h.compression == kAlphaBitfields;
    if (!ok) fail(kFormat, "unsupported compression " + std::to_string(h.compression));
    checkDimensions(kFormat, h.width, h.height < 0 ? -h.height : h.height);
    if (h.pixelOffset < h.paletteOffset || h.pixelOffset >= fileSize) fail(kFormat, "pixel data offset is invalid");
}

using Palette = std::vector<Rgb>;

// Entries missing from a short palette show black.
Palette readPalette(Bytes b, const Header& h) {
    if (h.bitCount > 8) return {};
    const std::size_t full = std::size_t{1} << h.bitCount;
    const std::size_t declared = h.colorsUsed == 0 ? full : std::min<std::size_t>(h.colorsUsed, full);
    const std::size_t available = (h.pixelOffset - h.paletteOffset) / h.paletteEntrySize;
    Palette palette(full);
    for (std::size_t i = 0; i < std::min(declared, available); ++i) {
        const std::uint8_t* e = b.data() + h.paletteOffset + i * h.paletteEntrySize;
        palette[i] = Rgb{e[2], e[1], e[0]};
    }
    return palette;
}

struct Channel {
    std::uint32_t mask;
    int shift;
    int bits;
};

Channel channelOf(std::uint32_t mask) {
    if (mask == 0) return {0, 0, 0};
    const int shift = std::countr_zero(mask);
    return {mask, shift, std::min(std::popcount(mask >> shift), 32)};
}

std::uint8_t extract(const Channel& c, std::uint32_t pixel) {
    if (c.bits == 0) return 0;
    const std::uint32_t value = (pixel & c.mask) >> c.shift;
    if (c.bits >= 8) return static_cast<std::uint8_t>(value >> (c.bits - 8));
    const std::uint32_t max = (1u << c.bits) - 1;
    return static_cast<std::uint8_t>((value * 255 + max / 2) / max);
}

class RowWriter {
public:
    RowWriter(const Header& h, Image& image) : height_(image.height()), topDown_(h.height < 0), image_(image) {}
    // Row index as stored in the file to the image row.
    int imageRow(int fileRow) const { return topDown_ ? fileRow : height_ - 1 - fileRow; }
    Image& image() { return image_; }

private:
    int height_;
    bool topDown_;
    Image& image_;
};

// Returns the alpha of each pixel when the file declares an alpha mask.
std::vector<std::uint8_t> decodeUncompressed(Bytes b, const Header& h, const Palette& palette, RowWriter& out) {
    const int width = out.image().width();
    const int height = out.image().height();
    const std::size_t rowBits = static_cast<std::size_t>(width) * static_cast<std::size_t>(h.bitCount);
    const std::size_t stride = (rowBits + 31) / 32 * 4;
    // The last row's padding is often left out.
    const std::size_t needed = stride * static_cast<std::size_t>(height - 1) + (rowBits + 7) / 8;
    if (needed > b.size() - h.pixelOffset) fail(kFormat, "truncated pixel data");

    const Channel red = channelOf(h.masks.red), green = channelOf(h.masks.green), blue = channelOf(h.masks.blue),
                  alphaChannel = channelOf(h.masks.alpha);
    std::vector<std::uint8_t> alpha;
    if (h.masks.alpha != 0 && h.bitCount >= 16) alpha.resize(static_cast<std::size_t>(width) * height);

    for (int fileRow = 0; fileRow < height; ++fileRow) {
        const std::uint8_t* src = b.data() + h.pixelOffset + stride * static_cast<std::size_t>(fileRow);
        const int y = out.imageRow(fileRow);
        std::uint8_t* dst = out.image().row(y);
        for (int x = 0; x < width; ++x, dst += 3) {
            Rgb c;
            if (h.bitCount <= 8) {
                const std::size_t bit = static_cast<std::size_t>(x) * h.bitCount;
                const int shift = 8 - h.bitCount - static_cast<int>(bit % 8);
                const unsigned index = (src[bit / 8] >> shift) & ((1u << h.bitCount) - 1);
                c = palette[index];
            } else if (h.bitCount == 24) {
                const std::uint8_t* p = src + static_cast<std::size_t>(x) * 3;
                c = Rgb{p[2], p[1], p[0]};
            } else {
                const std::size_t bytes = static_cast<std::size_t>(h.bitCount / 8);
                const std::uint8_t* p = src + static_cast<std::size_t>(x) * bytes;
                std::uint32_t px = p[0] | static_cast<std::uint32_t>(p[1]) << 8;
                if (bytes == 4)
                    px |= static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
                c = Rgb{extract(red, px), extract(green, px), extract(blue, px)};
                if (!alpha.empty())
                    alpha[static_cast<std::size_t>(y) * width + x] = extract(alphaChannel, px);
            }
            dst[0] = c.r;
            dst[1] = c.g;
            dst[2] = c.b;
        }
    }
    return alpha;
}

// RLE4/RLE8 into palette indexes; skipped pixels keep index 0.
std::vector<std::uint8_t> expandRle(Bytes b, const Header& h, int width, int height) {
    std::vector<std::uint8_t> indexes(static_cast<std::size_t>(width) * height);
    const bool four = h.compression == kRle4;
    std::size_t at = h.pixelOffset;
    int x = 0, y = 0;  // y counts rows in file order
    auto put = [&](unsigned index) {
        if (x < width && y < height) indexes[static_cast<std::size_t>(y) * width + x] = static_cast<std::uint8_t>(index);
        ++x;
    };
    auto next = [&]() -> unsigned {
        if (at >= b.size()) fail(kFormat, "truncated RLE data");
        return b[at++];
    };
    while (y < height) {
        const unsigned count = next();
        const unsigned value = next();
        if (count > 0) {
            for (unsigned i = 0; i < count && x < width; ++i) put(four ? (i % 2 ? value & 15 : value >> 4) : value);
        } else if (value == 0) {
            x = 0;
            ++y;
        } else if (value == 1) {
            break;
        } else if (value == 2) {
            x += static_cast<int>(next());
            y += static_cast<int>(next());
        } else {
            // Literal run, padded to an even number of bytes.
            const std::size_t bytes = four ? (value + 1) / 2 : value;
            if (bytes > b.size() - std::min(at, b.size())) fail(kFormat, "truncated RLE data");
            for (unsigned i = 0; i < value; ++i) {
                const std::uint8_t byte = b[at + (four ? i / 2 : i)];
                put(four ? (i % 2 ? byte & 15 : byte >> 4) : byte);
            }
            at += bytes + (bytes % 2);
        }
        x = std::min(x, width);
    }
    return indexes;
}

void decodeRle(Bytes b, const Header& h, const Palette& palette, RowWriter& out) {
    const int width = out.image().width();
    const int height = out.image().height();
    const std::vector<std::uint8_t> indexes = expandRle(b, h, width, height);
    for (int fileRow = 0; fileRow < height; ++fileRow) {
        const std::uint8_t* src = indexes.data() + static_cast<std::size_t>(fileRow) * width;
        std::uint8_t* dst = out.image().row(out.imageRow(fileRow));
        for (int x = 0; x < width; ++x, dst += 3) {
            const Rgb c = palette[src[x]];
            dst[0] = c.r;
            dst[1] = c.g;
            dst[2] = c.b;
        }
    }
}

// Writers often leave an alpha channel all zero: only a used one is honoured.
bool compositeAlpha(Image& image, const std::vector<std::uint8_t>& alpha) {
    if (std::all_of(alpha.begin(), alpha.end(), [](std::uint8_t a) { return a == 0; })) return false;
    std::uint8_t* p = image.data();
    for (const std::uint8_t a : alpha)
        for (int i = 0; i < 3; ++i, ++p) *p = overWhite(*p, a);
    return true;
}

int widestMask(const Masks& m) {
    return std::max({channelOf(m.red).bits, channelOf(m.green).bits, channelOf(m.blue).bits});
}

}  // namespace

DecodedImage decodeBmp(Bytes bytes) {
    const Header h = readHeader(bytes);
    validate(h, bytes.size());
    const Palette palette = readPalette(bytes, h);

    DecodedImage result;
    result.image = Image(static_cast<int>(h.width), static_cast<int>(h.height < 0 ? -h.height : h.height));
    RowWriter out(h, result.image);
    bool withAlpha = false;
    if (h.compression == kRle4 || h.compression == kRle8) {
        decodeRle(bytes, h, palette, out);
    } else {
        const std::vector<std::uint8_t> alpha = decodeUncompressed(bytes, h, palette, out);
        withAlpha = !alpha.empty() && compositeAlpha(result.image, alpha);
    }

    if (h.bitCount <= 8) {
        result.bitsPerSample = h.bitCount;
        result.samplesPerPixel = 1;
    } else {
        result.bitsPerSample = h.bitCount == 24 ? 8 : widestMask(h.masks);
        result.samplesPerPixel = withAlpha ? 4 : 3;
    }
    result.dpiX = h.xPerMetre > 0 ? dpiFromPixelsPerMetre(static_cast<double>(h.xPerMetre)) : 0;
    result.dpiY = h.yPerMetre > 0 ? dpiFromPixelsPerMetre(static_cast<double>(h.yPerMetre)) : 0;
    return result;
}

}  // namespace orvix::readers
