// Netpbm P1-P6: header tokens with comments, ASCII or binary samples, maxval up to 65535.
#include <string>

#include "pages/readers/format_readers.h"

namespace orvix::readers {
namespace {

constexpr std::string_view kFormat = "PNM";

bool isSpace(std::uint8_t c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

class Cursor {
public:
    explicit Cursor(Bytes b) : b_(b) {}

    // Skips whitespace and '#' comments, which may sit between any two tokens.
    void skipSpace() {
        while (at_ < b_.size()) {
            if (b_[at_] == '#') {
                while (at_ < b_.size() && b_[at_] != '\n' && b_[at_] != '\r') ++at_;
            } else if (isSpace(b_[at_])) {
                ++at_;
            } else {
                return;
            }
        }
    }

    unsigned long long number(const char* what) {
        skipSpace();
        if (at_ >= b_.size()) fail(kFormat, std::string("truncated data: missing ") + what);
        if (b_[at_] < '0' || b_[at_] > '9') fail(kFormat, std::string("expected a number for ") + what);
        unsigned long long value = 0;
        while (at_ < b_.size() && b_[at_] >= '0' && b_[at_] <= '9') {
            value = value * 10 + static_cast<unsigned>(b_[at_++] - '0');
            if (value > 0xFFFFFFFFull) fail(kFormat, std::string("number out of range for ") + what);
        }
        return value;
    }

    // P1 digits need no separators.
    unsigned bit() {
        skipSpace();
        if (at_ >= b_.size()) fail(kFormat, "truncated pixel data");
        const std::uint8_t c = b_[at_++];
        if (c != '0' && c != '1') fail(kFormat, "expected 0 or 1 in bitmap data");
        return c - '0';
    }

    // Exactly one whitespace byte ends the header of the binary forms.
    void endHeader() {
        if (at_ >= b_.size() || !isSpace(b_[at_])) fail(kFormat, "truncated header");
        ++at_;
    }

    std::size_t remaining() const { return b_.size() - at_; }
    const std::uint8_t* here() const { return b_.data() + at_; }

private:
    Bytes b_;
    std::size_t at_ = 2;  // past the magic number
};

// Samples above maxval are clamped.
std::uint8_t scaled(unsigned long long value, unsigned long long maxval) {
    if (value > maxval) value = maxval;
    return static_cast<std::uint8_t>((value * 255 + maxval / 2) / maxval);
}

std::size_t bitmapStride(int width) { return (static_cast<std::size_t>(width) + 7) / 8; }

// Rejects short data before the image is allocated: an ASCII value takes at least a byte.
void checkLength(Cursor& in, bool binary, int type, std::size_t width, std::size_t height,
                 unsigned long long maxval) {
    const std::size_t samples = width * height * (type == 3 ? 3 : 1);
    std::size_t needed = samples;
    if (binary) {
        in.endHeader();
        needed = type == 1 ? bitmapStride(static_cast<int>(width)) * height : samples * (maxval > 255 ? 2 : 1);
    }
    if (needed > in.remaining()) fail(kFormat, "truncated pixel data");
}

void readBitmap(Cursor& in, bool binary, Image& image) {
    const std::size_t stride = bitmapStride(image.width());
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* row = in.here() + stride * static_cast<std::size_t>(y);
        for (int x = 0; x < image.width(); ++x) {
            const unsigned black = binary ? (row[x / 8] >> (7 - x % 8)) & 1 : in.bit();
            image.setPixel(x, y, black ? Rgb{0, 0, 0} : Rgb{255, 255, 255});
        }
    }
}

void readSamples(Cursor& in, bool binary, int channels, unsigned long long maxval, Image& image) {
    const std::size_t count = static_cast<std::size_t>(image.width()) * image.height() * channels;
    const std::size_t sampleBytes = maxval > 255 ? 2 : 1;
    const std::uint8_t* p = in.here();
    std::uint8_t* out = image.data();
    for (std::size_t i = 0; i < count; ++i) {
        unsigned long long value = 0;
        if (!binary) value = in.number("a sample");
        else if (sampleBytes == 1) value = p[i];
        else value = static_cast<unsigned>(p[2 * i]) << 8 | p[2 * i + 1];
        const std::uint8_t v = scaled(value, maxval);
        if (channels == 3) {
            *out++ = v;
        } else {
            out[0] = out[1] = out[2] = v;
            out += 3;
        }
    }
}

}  // namespace

DecodedImage decodePnm(Bytes bytes) {
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] < '1' || bytes[1] > '6') fail(kFormat, "not a netpbm file");
    const int kind = bytes[1] - '0';
    const bool binary = kind >= 4;
    const int type = binary ? kind - 3 : kind;  // 1 bitmap, 2 greymap, 3 pixmap

    Cursor in(bytes);
    const unsigned long long width = in.number("the width");
    const unsigned long long height = in.number("the height");
    const unsigned long long maxval = type == 1 ? 1 : in.number("the maximum value");
    if (maxval == 0 || maxval > 65535) fail(kFormat, "maximum value must be 1 to 65535");
    checkDimensions(kFormat, static_cast<long long>(width), static_cast<long long>(height));
    checkLength(in, binary, type, width, height, maxval);

    DecodedImage result;
    result.image = Image(static_cast<int>(width), static_cast<int>(height));
    if (type == 1) {
        readBitmap(in, binary, result.image);
        result.bitsPerSample = 1;
        result.samplesPerPixel = 1;
    } else {
        readSamples(in, binary, type == 3 ? 3 : 1, maxval, result.image);
        result.bitsPerSample = maxval > 255 ? 16 : 8;
        result.samplesPerPixel = type == 3 ? 3 : 1;
    }
    return result;
}

}  // namespace orvix::readers
