// PNG through libpng. libpng reports errors by longjmp, so every function that
// calls setjmp below keeps only trivially destructible locals and returns
// false; the C++ caller turns that into a DecodeError.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "pages/readers/format_readers.h"

namespace orvix::readers {
namespace {

constexpr std::string_view kFormat = "PNG";

struct Source {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset;
    char message[256];
};

void onError(png_structp png, png_const_charp text) {
    auto* src = static_cast<Source*>(png_get_error_ptr(png));
    std::snprintf(src->message, sizeof src->message, "%s", text);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void readData(png_structp png, png_bytep out, png_size_t length) {
    auto* src = static_cast<Source*>(png_get_io_ptr(png));
    if (length > src->size - src->offset) png_error(png, "truncated data");
    std::memcpy(out, src->data + src->offset, length);
    src->offset += length;
}

struct DestroyReader {
    void operator()(png_struct* png) const { png_destroy_read_struct(&png, nullptr, nullptr); }
};

struct DestroyInfo {
    png_struct* png;
    void operator()(png_info* info) const { png_destroy_info_struct(png, &info); }
};

struct Header {
    png_uint_32 width, height;
    int bitDepth, colourType, channels;
    png_uint_32 xPerUnit, yPerUnit;
    int unit;
    bool hasPhys;
};

// Leaves the reader producing 8-bit RGBA rows whatever the file holds.
bool readHeader(png_structp png, png_infop info, Header& h) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_user_limits(png, static_cast<png_uint_32>(kMaxDimension), static_cast<png_uint_32>(kMaxDimension));
    png_read_info(png, info);
    png_get_IHDR(png, info, &h.width, &h.height, &h.bitDepth, &h.colourType, nullptr, nullptr, nullptr);
    h.channels = png_get_channels(png, info);
    h.hasPhys = png_get_pHYs(png, info, &h.xPerUnit, &h.yPerUnit, &h.unit) != 0;

    if (h.colourType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (h.colourType == PNG_COLOR_TYPE_GRAY && h.bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS)) png_set_tRNS_to_alpha(png);
    if (h.bitDepth == 16) png_set_scale_16(png);
    if (!(h.colourType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
    png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != static_cast<png_size_t>(h.width) * 4) png_error(png, "unexpected row layout");
    return true;
}

// Skips png_read_end: the pixels are complete once the last row is in.
bool readRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    return true;
}

int physDpi(const Header& h, png_uint_32 perUnit) {
    return h.hasPhys && h.unit == PNG_RESOLUTION_METER ? dpiFromPixelsPerMetre(perUnit) : 0;
}

}  // namespace

DecodedImage decodePng(Bytes bytes) {
    Source src{bytes.data(), bytes.size(), 0, "out of memory"};
    std::unique_ptr<png_struct, DestroyReader> png(
        png_create_read_struct(PNG_LIBPNG_VER_STRING, &src, onError, onWarning));
    if (!png) fail(kFormat, "cannot create the decoder");
    // Declared after png so that it is destroyed first.
    std::unique_ptr<png_info, DestroyInfo> info(png_create_info_struct(png.get()), DestroyInfo{png.get()});
    if (!info) fail(kFormat, "cannot create the decoder");
    png_set_read_fn(png.get(), &src, readData);

    Header h{};
    if (!readHeader(png.get(), info.get(), h)) fail(kFormat, src.message);
    checkDimensions(kFormat, h.width, h.height);

    const std::size_t rowBytes = static_cast<std::size_t>(h.width) * 4;
    std::vector<png_byte> rgba(rowBytes * h.height);
    std::vector<png_bytep> rows(h.height);
    for (png_uint_32 y = 0; y < h.height; ++y) rows[y] = rgba.data() + rowBytes * y;
    if (!readRows(png.get(), rows.data())) fail(kFormat, src.message);

    DecodedImage result;
    result.image = Image(static_cast<int>(h.width), static_cast<int>(h.height));
    const png_byte* in = rgba.data();
    std::uint8_t* out = result.image.data();
    for (std::size_t i = 0, n = static_cast<std::size_t>(h.width) * h.height; i < n; ++i, in += 4, out += 3) {
        out[0] = overWhite(in[0], in[3]);
        out[1] = overWhite(in[1], in[3]);
        out[2] = overWhite(in[2], in[3]);
    }
    result.bitsPerSample = h.bitDepth;
    result.samplesPerPixel = h.channels;
    result.dpiX = physDpi(h, h.xPerUnit);
    result.dpiY = physDpi(h, h.yPerUnit);
    return result;
}

}  // namespace orvix::readers
