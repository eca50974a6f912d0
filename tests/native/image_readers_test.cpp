// Image file readers: every fixture is written here with the format's own
// encoder library (or byte by byte where the format is simple), then decoded.
#include <gif_lib.h>
#include <gtest/gtest.h>
#include <png.h>
#include <tiffio.h>
#include <zlib.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <unistd.h>
#include <vector>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include "errors.h"
#include "pages/image_readers.h"

namespace orvix {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};

// ---- images and comparisons -------------------------------------------------

// Distinct colours, none repeated, so a mirrored or shifted row shows.
Image pattern(int w, int h) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y,
                         Rgb{static_cast<std::uint8_t>(x * 37 + y * 11), static_cast<std::uint8_t>(y * 53 + 7),
                             static_cast<std::uint8_t>(x * 5 + y * 70 + 100)});
    return img;
}

// Colours from {0, 206, 255}: exact in 5- and 6-bit channels as well.
Image coarsePattern(int w, int h) {
    constexpr std::uint8_t kLevels[] = {0, 206, 255};
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, Rgb{kLevels[x % 3], kLevels[(x + y) % 3], kLevels[(y * 2 + x / 3) % 3]});
    return img;
}

Image twoColours(int w, int h, Rgb a, Rgb b) {
    Image img(w, h, a);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if ((x * 3 + y) % 4 == 1 || x == y) img.setPixel(x, y, b);
    return img;
}

Image greyOf(int w, int h, const std::function<std::uint8_t(int, int)>& level) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) img.setPixel(x, y, Rgb{level(x, y), level(x, y), level(x, y)});
    return img;
}

void paint(Image& img, std::initializer_list<std::pair<int, int>> points, Rgb c) {
    for (const auto& [x, y] : points) img.setPixel(x, y, c);
}

int maxDifference(const Image& a, const Image& b) {
    if (a.width() != b.width() || a.height() != b.height()) return 256;
    int worst = 0;
    for (std::size_t i = 0; i < a.byteSize(); ++i) worst = std::max(worst, std::abs(a.data()[i] - b.data()[i]));
    return worst;
}

std::vector<Rgb> uniqueColours(const Image& img) {
    std::vector<Rgb> colours;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (std::find(colours.begin(), colours.end(), img.pixel(x, y)) == colours.end())
                colours.push_back(img.pixel(x, y));
    return colours;
}

int indexOf(const std::vector<Rgb>& palette, Rgb c) {
    return static_cast<int>(std::find(palette.begin(), palette.end(), c) - palette.begin());
}

void putLe16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = static_cast<std::uint8_t>(v);
    b[at + 1] = static_cast<std::uint8_t>(v >> 8);
}

void putLe32(Bytes& b, std::size_t at, std::uint32_t v) {
    putLe16(b, at, v & 0xFFFF);
    putLe16(b, at + 2, v >> 16);
}

void appendBe16(Bytes& b, unsigned v) {
    b.push_back(static_cast<std::uint8_t>(v >> 8));
    b.push_back(static_cast<std::uint8_t>(v));
}

Bytes toBytes(std::string_view s) { return Bytes(s.begin(), s.end()); }

// ---- JPEG -------------------------------------------------------------------

struct JpegOptions {
    int components = 3;  // 1 grey, 3 RGB, 4 CMYK
    bool progressive = false;
    bool adobeMarker = true;  // CMYK only
    int densityUnit = 0;
    int xDensity = 1, yDensity = 1;
};

Bytes encodeJpeg(int w, int h, const Bytes& samples, const JpegOptions& options) {
    jpeg_compress_struct c{};
    jpeg_error_mgr err{};
    c.err = jpeg_std_error(&err);
    jpeg_create_compress(&c);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&c, &buffer, &size);
    c.image_width = static_cast<JDIMENSION>(w);
    c.image_height = static_cast<JDIMENSION>(h);
    c.input_components = options.components;
    c.in_color_space = options.components == 1 ? JCS_GRAYSCALE : options.components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&c);
    jpeg_set_quality(&c, 95, TRUE);
    for (int i = 0; i < c.num_components; ++i) c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    if (options.components == 4) c.write_Adobe_marker = options.adobeMarker;
    if (options.progressive) jpeg_simple_progression(&c);
    c.density_unit = static_cast<UINT8>(options.densityUnit);
    c.X_density = static_cast<UINT16>(options.xDensity);
    c.Y_density = static_cast<UINT16>(options.yDensity);
    jpeg_start_compress(&c, TRUE);
    const std::size_t stride = static_cast<std::size_t>(w) * options.components;
    while (c.next_scanline < c.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(samples.data() + stride * c.next_scanline);
        jpeg_write_scanlines(&c, &row, 1);
    }
    jpeg_finish_compress(&c);
    jpeg_destroy_compress(&c);
    Bytes out(buffer, buffer + size);
    std::free(buffer);
    return out;
}

Bytes rgbSamples(const Image& img) { return Bytes(img.data(), img.data() + img.byteSize()); }

Bytes greySamples(const Image& img) {
    Bytes out;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) out.push_back(img.pixel(x, y).r);
    return out;
}

// Smooth content keeps the JPEG error small and predictable.
Image smoothImage(int w, int h) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, Rgb{static_cast<std::uint8_t>(x * 255 / (w - 1)),
                                   static_cast<std::uint8_t>(y * 255 / (h - 1)), 96});
    return img;
}

Bytes jpegOf(const Image& img, JpegOptions options = {}) {
    return encodeJpeg(img.width(), img.height(), rgbSamples(img), options);
}

// ---- PNG --------------------------------------------------------------------

struct PngLayout {
    int width = 0, height = 0;
    int colourType = PNG_COLOR_TYPE_RGB;
    int bitDepth = 8;
    bool interlaced = false;
    std::vector<png_color> palette{};
    std::vector<png_byte> transparency{};  // tRNS for palette images
    int physUnit = -1;                   // -1: no pHYs chunk
    png_uint_32 physX = 0, physY = 0;
    std::vector<unsigned> samples{};  // one value per sample, rows top-down
};

int pngChannels(int colourType) {
    switch (colourType) {
        case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
        case PNG_COLOR_TYPE_RGB: return 3;
        case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
        default: return 1;
    }
}

void appendToVector(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void flushNothing(png_structp) {}

Bytes encodePng(const PngLayout& s) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ADD_FAILURE() << "libpng could not write the fixture";
        return {};
    }
    png_set_write_fn(png, &out, appendToVector, flushNothing);
    png_set_IHDR(png, info, static_cast<png_uint_32>(s.width), static_cast<png_uint_32>(s.height), s.bitDepth,
                 s.colourType, s.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    if (!s.palette.empty()) png_set_PLTE(png, info, s.palette.data(), static_cast<int>(s.palette.size()));
    if (!s.transparency.empty())
        png_set_tRNS(png, info, s.transparency.data(), static_cast<int>(s.transparency.size()), nullptr);
    if (s.physUnit >= 0) png_set_pHYs(png, info, s.physX, s.physY, s.physUnit);
    png_write_info(png, info);
    if (s.bitDepth < 8) png_set_packing(png);

    const std::size_t perRow = static_cast<std::size_t>(s.width) * pngChannels(s.colourType);
    const std::size_t bytesPerSample = s.bitDepth == 16 ? 2 : 1;
    std::vector<png_byte> pixels;
    for (const unsigned v : s.samples) {
        if (bytesPerSample == 2) pixels.push_back(static_cast<png_byte>(v >> 8));
        pixels.push_back(static_cast<png_byte>(v));
    }
    std::vector<png_bytep> rows(static_cast<std::size_t>(s.height));
    for (int y = 0; y < s.height; ++y) rows[static_cast<std::size_t>(y)] = pixels.data() + perRow * bytesPerSample * y;
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

PngLayout pngRgb(const Image& img) {
    PngLayout s{img.width(), img.height()};
    s.samples.assign(img.data(), img.data() + img.byteSize());
    return s;
}

// ---- BMP --------------------------------------------------------------------

enum class BmpHeader { Core, Info, V5 };

struct BmpLayout {
    int bits = 24;
    bool topDown = false;
    BmpHeader header = BmpHeader::Info;
    std::uint32_t compression = 0;
    std::uint32_t masks[4] = {};  // red, green, blue, alpha for bit fields
    std::int32_t xPerMetre = 0, yPerMetre = 0;
    std::vector<Rgb> palette{};
};

Bytes makeBmp(const BmpLayout& s, int w, int h, const Bytes& pixelData) {
    const std::size_t infoSize = s.header == BmpHeader::Core ? 12 : s.header == BmpHeader::Info ? 40 : 124;
    const bool externalMasks = s.header == BmpHeader::Info && s.compression == 3;
    const std::size_t entry = s.header == BmpHeader::Core ? 3 : 4;
    const std::size_t paletteAt = 14 + infoSize + (externalMasks ? 12 : 0);
    const std::size_t pixelsAt = paletteAt + s.palette.size() * entry;
    Bytes b(pixelsAt, 0);
    b[0] = 'B';
    b[1] = 'M';
    putLe32(b, 2, static_cast<std::uint32_t>(pixelsAt + pixelData.size()));
    putLe32(b, 10, static_cast<std::uint32_t>(pixelsAt));
    putLe32(b, 14, static_cast<std::uint32_t>(infoSize));
    const int storedHeight = s.topDown ? -h : h;
    if (s.header == BmpHeader::Core) {
        putLe16(b, 18, static_cast<std::uint32_t>(w));
        putLe16(b, 20, static_cast<std::uint32_t>(h));
        putLe16(b, 22, 1);
        putLe16(b, 24, static_cast<std::uint32_t>(s.bits));
    } else {
        putLe32(b, 18, static_cast<std::uint32_t>(w));
        putLe32(b, 22, static_cast<std::uint32_t>(storedHeight));
        putLe16(b, 26, 1);
        putLe16(b, 28, static_cast<std::uint32_t>(s.bits));
        putLe32(b, 30, s.compression);
        putLe32(b, 34, static_cast<std::uint32_t>(pixelData.size()));
        putLe32(b, 38, static_cast<std::uint32_t>(s.xPerMetre));
        putLe32(b, 42, static_cast<std::uint32_t>(s.yPerMetre));
        putLe32(b, 46, static_cast<std::uint32_t>(s.palette.size()));
        const std::size_t masksAt = externalMasks ? 14 + infoSize : 54;
        if (s.compression == 3)
            for (int i = 0; i < (externalMasks ? 3 : 4); ++i) putLe32(b, masksAt + 4 * i, s.masks[i]);
    }
    for (std::size_t i = 0; i < s.palette.size(); ++i) {
        b[paletteAt + i * entry] = s.palette[i].b;
        b[paletteAt + i * entry + 1] = s.palette[i].g;
        b[paletteAt + i * entry + 2] = s.palette[i].r;
    }
    b.insert(b.end(), pixelData.begin(), pixelData.end());
    return b;
}

std::uint32_t packChannel(std::uint8_t v, std::uint32_t mask) {
    if (mask == 0) return 0;
    int shift = 0;
    while (!((mask >> shift) & 1)) ++shift;
    const std::uint32_t max = mask >> shift;
    return (static_cast<std::uint32_t>((v * max + 127) / 255) << shift) & mask;
}

// Rows in file order, padded to four bytes; alpha (one per pixel) only for bit fields.
Bytes packBmpRows(const BmpLayout& s, const Image& img, const Bytes& alpha = {}) {
    const std::size_t stride = (static_cast<std::size_t>(img.width()) * s.bits + 31) / 32 * 4;
    Bytes out(stride * img.height(), 0);
    for (int row = 0; row < img.height(); ++row) {
        const int y = s.topDown ? row : img.height() - 1 - row;
        std::uint8_t* dst = out.data() + stride * row;
        for (int x = 0; x < img.width(); ++x) {
            const Rgb c = img.pixel(x, y);
            if (s.bits <= 8) {
                const int bit = x * s.bits;
                dst[bit / 8] |= static_cast<std::uint8_t>(indexOf(s.palette, c) << (8 - s.bits - bit % 8));
            } else if (s.bits == 24) {
                dst[x * 3] = c.b;
                dst[x * 3 + 1] = c.g;
                dst[x * 3 + 2] = c.r;
            } else {
                const std::uint8_t a = alpha.empty() ? 0 : alpha[static_cast<std::size_t>(y) * img.width() + x];
                const std::uint32_t px = s.compression == 3
                                             ? packChannel(c.r, s.masks[0]) | packChannel(c.g, s.masks[1]) |
                                                   packChannel(c.b, s.masks[2]) | packChannel(a, s.masks[3])
                                         : s.bits == 16 ? packChannel(c.r, 0x7C00) | packChannel(c.g, 0x03E0) |
                                                              packChannel(c.b, 0x001F)
                                                        : std::uint32_t{c.r} << 16 | c.g << 8 | c.b;
                for (int i = 0; i < s.bits / 8; ++i) dst[x * (s.bits / 8) + i] = static_cast<std::uint8_t>(px >> (8 * i));
            }
        }
    }
    return out;
}

Bytes bmpOf(BmpLayout s, const Image& img, const Bytes& alpha = {}) {
    if (s.bits <= 8 && s.palette.empty()) s.palette = uniqueColours(img);
    return makeBmp(s, img.width(), img.height(), packBmpRows(s, img, alpha));
}

// ---- TIFF -------------------------------------------------------------------

struct TiffPage {
    int width = 0, height = 0;
    std::uint16_t bits = 8, samples = 3;
    std::uint16_t photometric = PHOTOMETRIC_RGB;
    std::uint16_t compression = COMPRESSION_NONE;
    bool unassociatedAlpha = false;
    std::vector<std::uint16_t> colourMap{};  // red, green, blue tables
    float xResolution = 0, yResolution = 0;
    std::uint16_t resolutionUnit = RESUNIT_INCH;
    Bytes data{};  // packed rows top-down
};

Bytes readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Per process: test cases may run in parallel processes.
std::string tempPath(const std::string& name) {
    return ::testing::TempDir() + "orvix_readers_" + std::to_string(::getpid()) + "_" + name;
}

Bytes encodeTiff(const std::vector<TiffPage>& pages) {
    const std::string path = tempPath("fixture.tif");
    TIFF* tif = TIFFOpen(path.c_str(), "w");
    if (!tif) {
        ADD_FAILURE() << "libtiff could not create " << path;
        return {};
    }
    for (const TiffPage& p : pages) {
        TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(p.width));
        TIFFSetField(tif, TIFFTAG_IMAGELENGTH, static_cast<std::uint32_t>(p.height));
        TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, p.bits);
        TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, p.samples);
        TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, p.photometric);
        TIFFSetField(tif, TIFFTAG_COMPRESSION, p.compression);
        TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(tif, TIFFTAG_ROWSPERSTRIP, static_cast<std::uint32_t>(p.height));
        if (p.unassociatedAlpha) {
            const std::uint16_t extra = EXTRASAMPLE_UNASSALPHA;
            TIFFSetField(tif, TIFFTAG_EXTRASAMPLES, 1, &extra);
        }
        if (!p.colourMap.empty()) {
            const std::size_t n = p.colourMap.size() / 3;
            TIFFSetField(tif, TIFFTAG_COLORMAP, p.colourMap.data(), p.colourMap.data() + n, p.colourMap.data() + 2 * n);
        }
        if (p.xResolution > 0) {
            TIFFSetField(tif, TIFFTAG_XRESOLUTION, p.xResolution);
            TIFFSetField(tif, TIFFTAG_YRESOLUTION, p.yResolution);
            TIFFSetField(tif, TIFFTAG_RESOLUTIONUNIT, p.resolutionUnit);
        }
        if (pages.size() > 1) TIFFSetField(tif, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE);
        Bytes data = p.data;
        TIFFWriteEncodedStrip(tif, 0, data.data(), static_cast<tmsize_t>(data.size()));
        TIFFWriteDirectory(tif);
    }
    TIFFClose(tif);
    return readWholeFile(path);
}

TiffPage tiffRgb(const Image& img) {
    TiffPage p{img.width(), img.height()};
    p.data.assign(img.data(), img.data() + img.byteSize());
    return p;
}

TiffPage tiffGrey(const Image& img) {
    TiffPage p{img.width(), img.height(), 8, 1, PHOTOMETRIC_MINISBLACK, COMPRESSION_LZW};
    p.data = greySamples(img);
    return p;
}

// Black on white, CCITT group 4 as faxes and scanners write it.
TiffPage tiffBilevel(const Image& img) {
    TiffPage p{img.width(), img.height(), 1, 1, PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4};
    const std::size_t stride = (static_cast<std::size_t>(img.width()) + 7) / 8;
    p.data.assign(stride * img.height(), 0);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == kBlack) p.data[stride * y + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    return p;
}

// A hand-written single-strip 8-bit grey TIFF, for headers libtiff would not write.
Bytes rawTiff(std::uint32_t width, std::uint32_t height, std::uint32_t stripBytes, std::size_t dataBytes) {
    struct Entry {
        std::uint16_t tag, type;
        std::uint32_t value;
    };
    constexpr std::uint16_t kShort = 3, kLong = 4;
    const std::vector<Entry> entries = {
        {256, kLong, width}, {257, kLong, height}, {258, kShort, 8},      {259, kShort, 1},
        {262, kShort, 1},    {273, kLong, 0},      {277, kShort, 1},      {278, kLong, height},
        {279, kLong, stripBytes},
    };
    const std::size_t ifdSize = 2 + entries.size() * 12 + 4;
    Bytes b(8 + ifdSize, 0);
    b[0] = b[1] = 'I';
    b[2] = 42;
    putLe32(b, 4, 8);
    putLe16(b, 8, static_cast<std::uint32_t>(entries.size()));
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const std::size_t at = 10 + i * 12;
        putLe16(b, at, entries[i].tag);
        putLe16(b, at + 2, entries[i].type);
        putLe32(b, at + 4, 1);
        const std::uint32_t value = entries[i].tag == 273 ? static_cast<std::uint32_t>(b.size()) : entries[i].value;
        if (entries[i].type == kShort) putLe16(b, at + 8, value);
        else putLe32(b, at + 8, value);
    }
    b.resize(b.size() + dataBytes, 0x80);
    return b;
}

// ---- GIF --------------------------------------------------------------------

struct GifFrame {
    int left = 0, top = 0;
    Image pixels{};
    int disposal = DISPOSAL_UNSPECIFIED;
    bool interlaced = false;
    std::vector<Rgb> transparentColours{};  // drawn with the transparent index
};

int writeToVector(GifFileType* gif, const GifByteType* data, int length) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), data, data + length);
    return length;
}

// One global table holds every frame's colours; index 0 is kept for transparency.
Bytes encodeGif(int width, int height, const std::vector<GifFrame>& frames) {
    std::vector<Rgb> table{Rgb{1, 2, 3}};
    for (const GifFrame& f : frames)
        for (const Rgb c : uniqueColours(f.pixels))
            if (indexOf(table, c) == static_cast<int>(table.size())) table.push_back(c);
    int size = 2;
    while (size < static_cast<int>(table.size())) size *= 2;
    std::vector<GifColorType> colours(static_cast<std::size_t>(size), GifColorType{0, 0, 0});
    for (std::size_t i = 0; i < table.size(); ++i) colours[i] = GifColorType{table[i].r, table[i].g, table[i].b};

    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, writeToVector, &error);
    ColorMapObject* map = GifMakeMapObject(size, colours.data());
    EGifSetGifVersion(gif, true);
    EGifPutScreenDesc(gif, width, height, 8, 0, map);
    for (const GifFrame& f : frames) {
        GraphicsControlBlock gcb{f.disposal, false, 0, f.transparentColours.empty() ? NO_TRANSPARENT_COLOR : 0};
        GifByteType extension[4];
        EGifGCBToExtension(&gcb, extension);
        EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension);
        const int w = f.pixels.width(), h = f.pixels.height();
        EGifPutImageDesc(gif, f.left, f.top, w, h, f.interlaced, nullptr);
        std::vector<int> order;
        if (f.interlaced) {
            constexpr std::pair<int, int> kPasses[] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}};
            for (const auto& [start, step] : kPasses)
                for (int y = start; y < h; y += step) order.push_back(y);
        } else {
            for (int y = 0; y < h; ++y) order.push_back(y);
        }
        std::vector<GifPixelType> line(static_cast<std::size_t>(w));
        for (const int y : order) {
            for (int x = 0; x < w; ++x) {
                const Rgb c = f.pixels.pixel(x, y);
                const bool clear = std::find(f.transparentColours.begin(), f.transparentColours.end(), c) !=
                                   f.transparentColours.end();
                line[static_cast<std::size_t>(x)] = static_cast<GifPixelType>(clear ? 0 : indexOf(table, c));
            }
            EGifPutLine(gif, line.data(), w);
        }
    }
    EGifCloseFile(gif, &error);
    GifFreeMapObject(map);
    return out;
}

Bytes gifOf(const Image& img) { return encodeGif(img.width(), img.height(), {GifFrame{0, 0, img}}); }

// ---- PNM --------------------------------------------------------------------

Bytes binaryPnm(char kind, const Image& img, unsigned maxval) {
    Bytes b = toBytes(std::string("P") + kind + "\n# written by the test\n" + std::to_string(img.width()) + " " +
                      std::to_string(img.height()) + "\n" + std::to_string(maxval) + "\n");
    const bool colour = kind == '6';
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const Rgb c = img.pixel(x, y);
            for (const std::uint8_t v : colour ? std::vector<std::uint8_t>{c.r, c.g, c.b} : std::vector<std::uint8_t>{c.r}) {
                if (maxval > 255) appendBe16(b, v * 257u);
                else b.push_back(v);
            }
        }
    return b;
}

Bytes packedPbm(const Image& img) {
    Bytes b = toBytes("P4\n" + std::to_string(img.width()) + " " + std::to_string(img.height()) + "\n");
    const std::size_t stride = (static_cast<std::size_t>(img.width()) + 7) / 8;
    const std::size_t at = b.size();
    b.resize(at + stride * img.height(), 0);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (img.pixel(x, y) == kBlack) b[at + stride * y + x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
    return b;
}

// ---- decoding helpers -------------------------------------------------------

DecodedImage decodeOne(const Bytes& bytes, ImageFormat format) {
    auto images = decodeImages(bytes, format, 0);
    EXPECT_EQ(images.size(), 1u);
    return images.empty() ? DecodedImage{} : images.front();
}

struct Case {
    std::string name;
    ImageFormat format;
    Bytes bytes;
    Image expected;
    int bitsPerSample;
    int samplesPerPixel;
    int tolerance = 0;  // 0: exact pixels
};

void expectDecodes(const Case& c) {
    SCOPED_TRACE(c.name);
    try {
        const DecodedImage d = decodeOne(c.bytes, c.format);
        ASSERT_EQ(d.image.width(), c.expected.width());
        ASSERT_EQ(d.image.height(), c.expected.height());
        if (c.tolerance == 0) EXPECT_TRUE(d.image == c.expected);
        else EXPECT_LE(maxDifference(d.image, c.expected), c.tolerance);
        EXPECT_EQ(d.bitsPerSample, c.bitsPerSample);
        EXPECT_EQ(d.samplesPerPixel, c.samplesPerPixel);
    } catch (const DecodeError& e) {
        ADD_FAILURE() << "DecodeError: " << e.what();
    }
}

// ---- format detection ---------------------------------------------------------

TEST(ImageFormatDetection, ExtensionsAreMatchedCaseInsensitively) {
    const std::pair<std::string, ImageFormat> cases[] = {
        {"scan.jpg", ImageFormat::Jpeg},  {"SCAN.JPEG", ImageFormat::Jpeg}, {"a.Jpe", ImageFormat::Jpeg},
        {"a.jif", ImageFormat::Jpeg},     {"a.png", ImageFormat::Png},      {"a.BMP", ImageFormat::Bmp},
        {"a.dib", ImageFormat::Bmp},      {"a.rle", ImageFormat::Bmp},      {"a.tif", ImageFormat::Tiff},
        {"a.TIFF", ImageFormat::Tiff},    {"a.fax", ImageFormat::Tiff},     {"a.g3n", ImageFormat::Tiff},
        {"a.g3f", ImageFormat::Tiff},     {"a.xif", ImageFormat::Tiff},     {"a.gif", ImageFormat::Gif},
        {"a.pxm", ImageFormat::Pnm},      {"a.ppm", ImageFormat::Pnm},      {"a.pgm", ImageFormat::Pnm},
        {"a.pbm", ImageFormat::Pnm},      {"a.PNM", ImageFormat::Pnm},      {"C:\\dir.png\\file", ImageFormat::Unknown},
        {"photo.jpg.bak", ImageFormat::Unknown}, {"noextension", ImageFormat::Unknown},
        {"trailing.", ImageFormat::Unknown}, {"", ImageFormat::Unknown},    {"a.jpgx", ImageFormat::Unknown},
        // GBK names: the second byte of a character may be 0x5C ('\\') or a letter.
        {"C:\\\xC9\xA8\xC3\xE8.JPG", ImageFormat::Jpeg},
        {"\xB1\x5C\xCE\x41.tif", ImageFormat::Tiff},
        {"\xD5\x5C.\xCD\xBC", ImageFormat::Unknown},
    };
    for (const auto& [name, format] : cases) EXPECT_EQ(formatFromExtension(name), format) << name;
}

TEST(ImageFormatDetection, LeadingBytesNameTheFormat) {
    const std::pair<std::string, ImageFormat> cases[] = {
        {"\xFF\xD8\xFF\xE0", ImageFormat::Jpeg},
        {"\x89PNG\r\n\x1A\n", ImageFormat::Png},
        {"BM\x36\x00", ImageFormat::Bmp},
        {std::string("II*\0", 4), ImageFormat::Tiff},
        {std::string("MM\0*", 4), ImageFormat::Tiff},
        {"GIF87a", ImageFormat::Gif},
        {"GIF89a", ImageFormat::Gif},
        {"P1\n", ImageFormat::Pnm},
        {"P4 ", ImageFormat::Pnm},
        {"P6#comment", ImageFormat::Pnm},
        {"P7\n", ImageFormat::Unknown},
        {"Photo", ImageFormat::Unknown},
        {"\xFF\xD8", ImageFormat::Unknown},
        {"GIF88a", ImageFormat::Unknown},
        {std::string("II+\0", 4), ImageFormat::Unknown},
        {"", ImageFormat::Unknown},
    };
    for (const auto& [magic, format] : cases) EXPECT_EQ(sniffFormat(toBytes(magic)), format) << magic;
}

// ---- lossless round trips -------------------------------------------------------

TEST(ImageReaders, LosslessFormatsGiveBackTheExactPixels) {
    const Image colour = pattern(7, 5);
    const Image bilevel = twoColours(10, 3, kWhite, kBlack);
    const Image grey = greyOf(6, 4, [](int x, int y) { return static_cast<std::uint8_t>(x * 40 + y * 13); });
    const std::vector<Case> cases = {
        {"PNG RGB", ImageFormat::Png, encodePng(pngRgb(colour)), colour, 8, 3},
        {"BMP 24-bit", ImageFormat::Bmp, bmpOf({}, colour), colour, 8, 3},
        {"TIFF RGB", ImageFormat::Tiff, encodeTiff({tiffRgb(colour)}), colour, 8, 3},
        {"TIFF grey LZW", ImageFormat::Tiff, encodeTiff({tiffGrey(grey)}), grey, 8, 1},
        {"TIFF bilevel G4", ImageFormat::Tiff, encodeTiff({tiffBilevel(bilevel)}), bilevel, 1, 1},
        {"GIF, 64-entry colour table", ImageFormat::Gif, gifOf(colour), colour, 6, 1},
        {"PPM binary", ImageFormat::Pnm, binaryPnm('6', colour, 255), colour, 8, 3},
        {"PPM binary 16-bit", ImageFormat::Pnm, binaryPnm('6', colour, 65535), colour, 16, 3},
        {"PGM binary", ImageFormat::Pnm, binaryPnm('5', grey, 255), grey, 8, 1},
        {"PGM binary 16-bit", ImageFormat::Pnm, binaryPnm('5', grey, 65535), grey, 16, 1},
        {"PBM packed, rows padded", ImageFormat::Pnm, packedPbm(bilevel), bilevel, 1, 1},
    };
    for (const Case& c : cases) expectDecodes(c);
}

TEST(ImageReaders, JpegColourSpacesComeBackWithinTolerance) {
    const Image smooth = smoothImage(32, 16);
    const Image grey = greyOf(32, 16, [](int x, int) { return static_cast<std::uint8_t>(x * 8); });
    // Flat 8x8 blocks: red, green / blue, mid grey.
    const Rgb quadrants[4] = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {128, 128, 128}};
    const std::uint8_t cmyk[4][4] = {{0, 255, 255, 0}, {255, 0, 255, 0}, {255, 255, 0, 0}, {0, 0, 0, 127}};
    Image flat(16, 16);
    Bytes plain, inverted;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const int q = (y / 8) * 2 + x / 8;
            flat.setPixel(x, y, quadrants[q]);
            for (const std::uint8_t v : cmyk[q]) {
                plain.push_back(v);
                inverted.push_back(static_cast<std::uint8_t>(255 - v));
            }
        }
    const std::vector<Case> cases = {
        {"YCbCr", ImageFormat::Jpeg, jpegOf(smooth), smooth, 8, 3, 8},
        {"progressive", ImageFormat::Jpeg, jpegOf(smooth, {.progressive = true}), smooth, 8, 3, 8},
        {"grey", ImageFormat::Jpeg, encodeJpeg(32, 16, greySamples(grey), {.components = 1}), grey, 8, 1, 8},
        {"CMYK without Adobe marker", ImageFormat::Jpeg,
         encodeJpeg(16, 16, plain, {.components = 4, .adobeMarker = false}), flat, 8, 4, 8},
        {"inverted CMYK with Adobe marker", ImageFormat::Jpeg,
         encodeJpeg(16, 16, inverted, {.components = 4, .adobeMarker = true}), flat, 8, 4, 8},
    };
    for (const Case& c : cases) expectDecodes(c);
}

TEST(ImageReaders, JpegReportsProgressiveScans) {
    const Image img = smoothImage(16, 16);
    EXPECT_FALSE(decodeOne(jpegOf(img), ImageFormat::Jpeg).progressive);
    EXPECT_TRUE(decodeOne(jpegOf(img, {.progressive = true}), ImageFormat::Jpeg).progressive);
}

TEST(ImageReaders, PngBitDepthsAndColourTypes) {
    const Image colour = pattern(5, 4);
    const std::vector<Rgb> paletteColours = uniqueColours(coarsePattern(4, 3));
    const Image paletted = coarsePattern(4, 3);
    std::vector<png_color> palette;
    for (const Rgb c : paletteColours) palette.push_back(png_color{c.r, c.g, c.b});

    PngLayout rgb16 = pngRgb(colour);
    rgb16.bitDepth = 16;
    for (unsigned& v : rgb16.samples) v *= 257;  // exact after scaling to 8 bits

    PngLayout interlaced = pngRgb(pattern(11, 9));
    interlaced.interlaced = true;

    PngLayout indexed{4, 3, PNG_COLOR_TYPE_PALETTE, 4};
    indexed.palette = palette;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) indexed.samples.push_back(static_cast<unsigned>(indexOf(paletteColours, paletted.pixel(x, y))));

    // Palette entry 0 fully transparent: those pixels turn white.
    PngLayout indexedClear = indexed;
    indexedClear.transparency = {0};
    Image clearExpected = paletted;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x)
            if (paletted.pixel(x, y) == paletteColours[0]) clearExpected.setPixel(x, y, kWhite);

    const Image bilevel = twoColours(9, 3, kBlack, kWhite);
    PngLayout grey1{9, 3, PNG_COLOR_TYPE_GRAY, 1};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 9; ++x) grey1.samples.push_back(bilevel.pixel(x, y) == kWhite ? 1 : 0);

    const Image grey = greyOf(3, 2, [](int x, int y) { return static_cast<std::uint8_t>(x * 100 + y * 7); });
    PngLayout grey16{3, 2, PNG_COLOR_TYPE_GRAY, 16};
    for (const std::uint8_t v : greySamples(grey)) grey16.samples.push_back(v * 257u);

    // Opaque, fully transparent and opaque again: colour, white, colour.
    PngLayout greyAlpha{3, 1, PNG_COLOR_TYPE_GRAY_ALPHA, 8};
    greyAlpha.samples = {40, 255, 90, 0, 200, 255};
    const Image greyAlphaExpected = greyOf(3, 1, [](int x, int) { return static_cast<std::uint8_t>(x == 0 ? 40 : x == 1 ? 255 : 200); });

    PngLayout rgba{2, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8};
    rgba.samples = {10, 20, 30, 0, 10, 20, 30, 255};
    Image rgbaExpected(2, 1, kWhite);
    rgbaExpected.setPixel(1, 0, Rgb{10, 20, 30});

    const std::vector<Case> cases = {
        {"RGB 16-bit", ImageFormat::Png, encodePng(rgb16), colour, 16, 3},
        {"RGB Adam7 interlaced", ImageFormat::Png, encodePng(interlaced), pattern(11, 9), 8, 3},
        {"palette 4-bit", ImageFormat::Png, encodePng(indexed), paletted, 4, 1},
        {"palette with tRNS", ImageFormat::Png, encodePng(indexedClear), clearExpected, 4, 1},
        {"grey 1-bit", ImageFormat::Png, encodePng(grey1), bilevel, 1, 1},
        {"grey 16-bit", ImageFormat::Png, encodePng(grey16), grey, 16, 1},
        {"grey + alpha", ImageFormat::Png, encodePng(greyAlpha), greyAlphaExpected, 8, 2},
        {"RGBA", ImageFormat::Png, encodePng(rgba), rgbaExpected, 8, 4},
    };
    for (const Case& c : cases) expectDecodes(c);
}

TEST(ImageReaders, PngHalfTransparentPixelsBlendWithWhite) {
    PngLayout s{1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8};
    s.samples = {0, 100, 255, 128};
    const Rgb got = decodeOne(encodePng(s), ImageFormat::Png).image.pixel(0, 0);
    // Half of the colour and half of white.
    EXPECT_NEAR(got.r, 127, 1);
    EXPECT_NEAR(got.g, 177, 1);
    EXPECT_NEAR(got.b, 255, 1);
}

TEST(ImageReaders, BmpDepthsRowOrdersAndHeaders) {
    const Image colour = pattern(5, 3);  // 15-byte rows: padding needed
    const Image coarse = coarsePattern(6, 4);
    const Image bilevel = twoColours(13, 3, kWhite, kBlack);
    const Image sixteen = coarsePattern(5, 3);  // < 16 colours

    const BmpLayout rgb555{.bits = 16};
    const BmpLayout rgb565{.bits = 16, .compression = 3, .masks = {0xF800, 0x07E0, 0x001F, 0}};
    const BmpLayout bgra{.bits = 32, .header = BmpHeader::V5, .compression = 3,
                       .masks = {0x00FF0000, 0x0000FF00, 0x000000FF, 0xFF000000}};
    Bytes alpha(static_cast<std::size_t>(colour.width()) * colour.height(), 255);
    alpha[0] = 0;  // top-left fully transparent
    Image alphaExpected = colour;
    alphaExpected.setPixel(0, 0, kWhite);

    const std::vector<Case> cases = {
        {"1-bit bottom-up", ImageFormat::Bmp, bmpOf({.bits = 1}, bilevel), bilevel, 1, 1},
        {"1-bit top-down", ImageFormat::Bmp, bmpOf({.bits = 1, .topDown = true}, bilevel), bilevel, 1, 1},
        {"4-bit", ImageFormat::Bmp, bmpOf({.bits = 4}, sixteen), sixteen, 4, 1},
        {"8-bit bottom-up", ImageFormat::Bmp, bmpOf({.bits = 8}, colour), colour, 8, 1},
        {"8-bit top-down", ImageFormat::Bmp, bmpOf({.bits = 8, .topDown = true}, colour), colour, 8, 1},
        {"8-bit OS/2 core header", ImageFormat::Bmp, bmpOf({.bits = 8, .header = BmpHeader::Core}, colour), colour, 8, 1},
        {"24-bit top-down", ImageFormat::Bmp, bmpOf({.topDown = true}, colour), colour, 8, 3},
        {"24-bit V5 header", ImageFormat::Bmp, bmpOf({.header = BmpHeader::V5}, colour), colour, 8, 3},
        {"32-bit", ImageFormat::Bmp, bmpOf({.bits = 32}, colour), colour, 8, 3},
        {"32-bit top-down", ImageFormat::Bmp, bmpOf({.bits = 32, .topDown = true}, colour), colour, 8, 3},
        {"16-bit 5-5-5", ImageFormat::Bmp, bmpOf(rgb555, coarse), coarse, 5, 3},
        {"16-bit 5-6-5 bit fields", ImageFormat::Bmp, bmpOf(rgb565, coarse), coarse, 6, 3},
        {"32-bit V5 with alpha", ImageFormat::Bmp, bmpOf(bgra, colour, alpha), alphaExpected, 8, 4},
        // An all-zero alpha channel is a writer's mistake, not a blank image.
        {"32-bit V5, alpha all zero", ImageFormat::Bmp, bmpOf(bgra, colour, Bytes(alpha.size(), 0)), colour, 8, 3},
    };
    for (const Case& c : cases) expectDecodes(c);
}

TEST(ImageReaders, BmpRunLengthEncoding) {
    const std::vector<Rgb> palette = {kBlack, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    const Rgb red = palette[1], green = palette[2], blue = palette[3];
    auto rows = [](std::vector<std::vector<Rgb>> top) {
        Image img(static_cast<int>(top[0].size()), static_cast<int>(top.size()));
        for (std::size_t y = 0; y < top.size(); ++y)
            for (std::size_t x = 0; x < top[y].size(); ++x) img.setPixel(static_cast<int>(x), static_cast<int>(y), top[y][x]);
        return img;
    };
    // File rows run bottom-up: a run of 4 red; a 3-pixel literal (padded) and one red;
    // a delta past one pixel, then two blue; end of bitmap leaves the rest at index 0.
    const Bytes rle8 = {4, 1, 0, 0,  0, 3, 2, 3, 2, 0, 1, 1, 0, 0,  0, 2, 1, 0, 2, 3, 0, 1};
    const Image rle8Expected = rows({{kBlack, blue, blue, kBlack}, {green, blue, green, red}, {red, red, red, red}});
    // RLE4 runs alternate two nibbles; literals are nibble pairs padded to even bytes.
    const Bytes rle4 = {5, 0x12, 0, 0,  0, 3, 0x32, 0x10, 0, 1};
    const Image rle4Expected = rows({{blue, green, red, kBlack, kBlack}, {red, green, red, green, red}});

    const std::vector<Case> cases = {
        {"RLE8", ImageFormat::Bmp, makeBmp({.bits = 8, .compression = 1, .palette = palette}, 4, 3, rle8), rle8Expected, 8, 1},
        {"RLE4", ImageFormat::Bmp, makeBmp({.bits = 4, .compression = 2, .palette = palette}, 5, 2, rle4), rle4Expected, 4, 1},
    };
    for (const Case& c : cases) expectDecodes(c);
}

TEST(ImageReaders, PnmTextFormsWithCommentsAndMaxval) {
    const Image bilevel = [] {
        Image img(3, 2, kWhite);
        img.setPixel(1, 0, kBlack);
        img.setPixel(0, 1, kBlack);
        img.setPixel(2, 1, kBlack);
        return img;
    }();
    // 50 of 100 is 127.5: rounded, not truncated.
    const Image grey = greyOf(3, 1, [](int x, int) { return static_cast<std::uint8_t>(x == 0 ? 0 : x == 1 ? 128 : 255); });
    Image colour(2, 1);
    colour.setPixel(0, 0, Rgb{255, 0, 128});
    colour.setPixel(1, 0, Rgb{0, 64, 255});

    const std::vector<Case> cases = {
        // Bitmap digits need no separators; comments may split any two tokens.
        {"P1", ImageFormat::Pnm, toBytes("P1\n# scanned\n3 # width\n2\n010\n1 0 1\n"), bilevel, 1, 1},
        {"P2 maxval 100", ImageFormat::Pnm, toBytes("P2 3 1 100\n0 50\n100\n"), grey, 8, 1},
        {"P3 maxval 65535", ImageFormat::Pnm, toBytes("P3\n2 1\n#c\n65535\n65535 0 32896\n0 16448 65535\n"), colour, 16, 3},
        {"P3 samples above maxval clamp", ImageFormat::Pnm, toBytes("P3 1 1 100 100 250 100"), Image(1, 1, kWhite), 8, 3},
    };
    for (const Case& c : cases) expectDecodes(c);
}

// ---- multi-image files ------------------------------------------------------

TEST(ImageReaders, MultiPageTiffGivesEveryPageOrTheFirst) {
    const Image first = pattern(6, 4);
    const Image second = twoColours(20, 5, kWhite, kBlack);
    const Image third = greyOf(3, 7, [](int x, int y) { return static_cast<std::uint8_t>(x * 70 + y * 20); });
    const Bytes tiff = encodeTiff({tiffRgb(first), tiffBilevel(second), tiffGrey(third)});

    const std::pair<int, std::vector<const Image*>> cases[] = {
        {0, {&first, &second, &third}}, {-1, {&first, &second, &third}}, {1, {&first}},
        {2, {&first, &second}},         {5, {&first, &second, &third}},
    };
    for (const auto& [maxImages, expected] : cases) {
        SCOPED_TRACE("maxImages " + std::to_string(maxImages));
        const auto pages = decodeImages(tiff, ImageFormat::Tiff, maxImages);
        ASSERT_EQ(pages.size(), expected.size());
        for (std::size_t i = 0; i < pages.size(); ++i) EXPECT_TRUE(pages[i].image == *expected[i]) << "page " << i;
    }
    const auto pages = decodeImages(tiff, ImageFormat::Tiff, 0);
    EXPECT_EQ(pages[1].bitsPerSample, 1);
    EXPECT_EQ(pages[2].samplesPerPixel, 1);
}

TEST(ImageReaders, TiffPaletteAndAlphaPages) {
    const Image coarse = coarsePattern(4, 3);
    const std::vector<Rgb> colours = uniqueColours(coarse);
    TiffPage palette{4, 3, 8, 1, PHOTOMETRIC_PALETTE};
    palette.colourMap.assign(3 * 256, 0);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        palette.colourMap[i] = colours[i].r * 257;
        palette.colourMap[256 + i] = colours[i].g * 257;
        palette.colourMap[512 + i] = colours[i].b * 257;
    }
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) palette.data.push_back(static_cast<std::uint8_t>(indexOf(colours, coarse.pixel(x, y))));

    TiffPage rgba{2, 1, 8, 4, PHOTOMETRIC_RGB};
    rgba.unassociatedAlpha = true;
    rgba.data = {10, 20, 30, 255, 10, 20, 30, 0};
    Image rgbaExpected(2, 1, kWhite);
    rgbaExpected.setPixel(0, 0, Rgb{10, 20, 30});

    TiffPage grey16{3, 1, 16, 1, PHOTOMETRIC_MINISBLACK};
    for (const unsigned v : {0u, 100u, 255u}) {
        grey16.data.push_back(static_cast<std::uint8_t>(v * 257 & 0xFF));  // written little-endian
        grey16.data.push_back(static_cast<std::uint8_t>(v * 257 >> 8));
    }
    const Image grey16Expected = greyOf(3, 1, [](int x, int) { return static_cast<std::uint8_t>(x == 0 ? 0 : x == 1 ? 100 : 255); });

    const std::vector<Case> cases = {
        {"palette", ImageFormat::Tiff, encodeTiff({palette}), coarse, 8, 1},
        {"RGBA unassociated alpha", ImageFormat::Tiff, encodeTiff({rgba}), rgbaExpected, 8, 4},
        {"grey 16-bit", ImageFormat::Tiff, encodeTiff({grey16}), grey16Expected, 16, 1},
    };
    for (const Case& c : cases) expectDecodes(c);
}

TEST(ImageReaders, GifFramesAreComposedOnTheScreen) {
    const Rgb red{200, 0, 0}, green{0, 200, 0}, blue{0, 0, 200};
    // Frame 1 fills the 4x3 screen with red except a transparent pixel at (3,2).
    Image frame1(4, 3, red);
    frame1.setPixel(3, 2, blue);
    // Frame 2 puts a 2x2 green square at (1,1) with one transparent pixel, then clears to background.
    Image frame2(2, 2, green);
    frame2.setPixel(1, 1, blue);
    // Frame 3 draws one blue pixel at (0,0).
    const Image frame3(1, 1, blue);
    const Bytes gif = encodeGif(4, 3,
                                {{0, 0, frame1, DISPOSE_DO_NOT, false, {blue}},
                                 {1, 1, frame2, DISPOSE_BACKGROUND, false, {blue}},
                                 {0, 0, frame3, DISPOSE_DO_NOT, false, {}}});

    Image shown1(4, 3, red);
    shown1.setPixel(3, 2, kWhite);
    Image shown2 = shown1;
    paint(shown2, {{1, 1}, {2, 1}, {1, 2}}, green);
    Image shown3 = shown1;
    paint(shown3, {{1, 1}, {2, 1}, {1, 2}, {2, 2}}, kWhite);
    shown3.setPixel(0, 0, blue);

    const std::pair<int, std::vector<const Image*>> cases[] = {
        {0, {&shown1, &shown2, &shown3}}, {1, {&shown1}}, {2, {&shown1, &shown2}},
    };
    for (const auto& [maxImages, expected] : cases) {
        SCOPED_TRACE("maxImages " + std::to_string(maxImages));
        const auto frames = decodeImages(gif, ImageFormat::Gif, maxImages);
        ASSERT_EQ(frames.size(), expected.size());
        for (std::size_t i = 0; i < frames.size(); ++i) EXPECT_TRUE(frames[i].image == *expected[i]) << "frame " << i;
    }
}

TEST(ImageReaders, GifRestoreToPreviousAndInterlacedFrames) {
    const Rgb red{200, 0, 0}, green{0, 200, 0};
    const Image base = pattern(4, 11);
    const Bytes gif = encodeGif(4, 11,
                                {{0, 0, base, DISPOSE_DO_NOT, true, {}},
                                 {0, 0, Image(2, 2, red), DISPOSE_PREVIOUS, false, {}},
                                 {3, 10, Image(1, 1, green), DISPOSE_DO_NOT, false, {}}});
    Image withRed = base;
    paint(withRed, {{0, 0}, {1, 0}, {0, 1}, {1, 1}}, red);
    Image restored = base;
    restored.setPixel(3, 10, green);

    const auto frames = decodeImages(gif, ImageFormat::Gif, 0);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_TRUE(frames[0].image == base);
    EXPECT_TRUE(frames[1].image == withRed);
    EXPECT_TRUE(frames[2].image == restored);
}

// ---- resolution -------------------------------------------------------------

TEST(ImageReaders, ResolutionIsReadInDotsPerInch) {
    const Image img = pattern(8, 8);
    PngLayout metre = pngRgb(img);
    metre.physUnit = PNG_RESOLUTION_METER;
    metre.physX = 11811;  // 300 dpi
    metre.physY = 7874;   // 200 dpi
    PngLayout aspectOnly = metre;
    aspectOnly.physUnit = PNG_RESOLUTION_UNKNOWN;
    TiffPage inch = tiffRgb(img);
    inch.xResolution = 300;
    inch.yResolution = 150;
    TiffPage cm = inch;
    cm.xResolution = 118.11f;  // 300 dpi
    cm.yResolution = 39.37f;   // 100 dpi
    cm.resolutionUnit = RESUNIT_CENTIMETER;
    TiffPage none = inch;
    none.resolutionUnit = RESUNIT_NONE;

    struct Resolution {
        std::string name;
        ImageFormat format;
        Bytes bytes;
        int dpiX, dpiY;
    };
    const std::vector<Resolution> cases = {
        {"JPEG dots per inch", ImageFormat::Jpeg, jpegOf(img, {.densityUnit = 1, .xDensity = 300, .yDensity = 150}), 300, 150},
        {"JPEG dots per cm", ImageFormat::Jpeg, jpegOf(img, {.densityUnit = 2, .xDensity = 118, .yDensity = 40}), 300, 102},
        {"JPEG aspect ratio only", ImageFormat::Jpeg, jpegOf(img, {.densityUnit = 0, .xDensity = 2, .yDensity = 1}), 0, 0},
        {"PNG pixels per metre", ImageFormat::Png, encodePng(metre), 300, 200},
        {"PNG unknown unit", ImageFormat::Png, encodePng(aspectOnly), 0, 0},
        {"PNG without pHYs", ImageFormat::Png, encodePng(pngRgb(img)), 0, 0},
        {"BMP pixels per metre", ImageFormat::Bmp, bmpOf({.xPerMetre = 11811, .yPerMetre = 3937}, img), 300, 100},
        {"BMP without resolution", ImageFormat::Bmp, bmpOf({}, img), 0, 0},
        {"TIFF inch", ImageFormat::Tiff, encodeTiff({inch}), 300, 150},
        {"TIFF centimetre", ImageFormat::Tiff, encodeTiff({cm}), 300, 100},
        {"TIFF no unit", ImageFormat::Tiff, encodeTiff({none}), 0, 0},
        {"TIFF without resolution", ImageFormat::Tiff, encodeTiff({tiffRgb(img)}), 0, 0},
    };
    for (const Resolution& c : cases) {
        SCOPED_TRACE(c.name);
        const DecodedImage d = decodeOne(c.bytes, c.format);
        EXPECT_EQ(d.dpiX, c.dpiX);
        EXPECT_EQ(d.dpiY, c.dpiY);
    }
}

// ---- bad input --------------------------------------------------------------

Bytes pseudoRandom(std::size_t n, std::uint32_t seed) {
    Bytes out(n);
    for (std::uint8_t& b : out) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(seed >> 24);
    }
    return out;
}

Bytes withPrefix(std::string_view prefix, Bytes rest) {
    Bytes out = toBytes(prefix);
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

Bytes firstHalf(Bytes b) {
    b.resize(b.size() / 2);
    return b;
}

void appendBe32(Bytes& b, std::uint32_t v) {
    appendBe16(b, v >> 16);
    appendBe16(b, v & 0xFFFF);
}

void appendPngChunk(Bytes& b, std::string_view type, const Bytes& data) {
    appendBe32(b, static_cast<std::uint32_t>(data.size()));
    Bytes chunk = toBytes(type);
    chunk.insert(chunk.end(), data.begin(), data.end());
    b.insert(b.end(), chunk.begin(), chunk.end());
    appendBe32(b, static_cast<std::uint32_t>(crc32(0, chunk.data(), static_cast<uInt>(chunk.size()))));
}

// A valid header claiming the given size, then an empty data chunk.
Bytes pngWithSize(std::uint32_t width, std::uint32_t height) {
    Bytes b = toBytes("\x89PNG\r\n\x1A\n");
    Bytes header;
    appendBe32(header, width);
    appendBe32(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0});
    appendPngChunk(b, "IHDR", header);
    appendPngChunk(b, "IDAT", {});
    return b;
}

// Replaces the frame size in the first SOF marker.
Bytes jpegWithSize(Bytes b, std::uint16_t width, std::uint16_t height) {
    for (std::size_t i = 0; i + 8 < b.size(); ++i)
        if (b[i] == 0xFF && (b[i + 1] == 0xC0 || b[i + 1] == 0xC2)) {
            b[i + 5] = static_cast<std::uint8_t>(height >> 8);
            b[i + 6] = static_cast<std::uint8_t>(height);
            b[i + 7] = static_cast<std::uint8_t>(width >> 8);
            b[i + 8] = static_cast<std::uint8_t>(width);
            break;
        }
    return b;
}

Bytes gifWithScreen(std::uint16_t width, std::uint16_t height) {
    Bytes b = gifOf(pattern(2, 2));
    putLe16(b, 6, width);
    putLe16(b, 8, height);
    return b;
}

TEST(ImageReaders, BadInputGivesDecodeError) {
    const Image noisy = pattern(64, 64);
    const Bytes bmp = bmpOf({}, pattern(4, 4));
    Bytes bmpPastEnd = bmp;
    putLe32(bmpPastEnd, 10, static_cast<std::uint32_t>(bmp.size() + 10));
    Bytes bmpJpegCompression = bmp;
    putLe32(bmpJpegCompression, 30, 4);
    Bytes bmpHugeWidth = bmp;
    putLe32(bmpHugeWidth, 18, 70000);
    Bytes bmpTooManyPixels = bmp;  // each side allowed, the product is not
    putLe32(bmpTooManyPixels, 18, 60000);
    putLe32(bmpTooManyPixels, 22, 60000);
    Bytes pngBadCrc = encodePng(pngRgb(pattern(4, 4)));
    pngBadCrc[29] ^= 0xFF;
    Bytes gifFrameOutside = gifOf(pattern(2, 2));

    const std::vector<std::tuple<std::string, ImageFormat, Bytes>> cases = {
        {"unknown format", ImageFormat::Unknown, encodePng(pngRgb(pattern(2, 2)))},
        {"empty JPEG", ImageFormat::Jpeg, {}},
        {"empty PNG", ImageFormat::Png, {}},
        {"empty BMP", ImageFormat::Bmp, {}},
        {"empty TIFF", ImageFormat::Tiff, {}},
        {"empty GIF", ImageFormat::Gif, {}},
        {"empty PNM", ImageFormat::Pnm, {}},
        {"truncated JPEG", ImageFormat::Jpeg, firstHalf(jpegOf(noisy))},
        {"truncated progressive JPEG", ImageFormat::Jpeg, firstHalf(jpegOf(noisy, {.progressive = true}))},
        {"truncated PNG", ImageFormat::Png, firstHalf(encodePng(pngRgb(noisy)))},
        {"truncated BMP", ImageFormat::Bmp, firstHalf(bmpOf({}, noisy))},
        {"truncated RLE8 BMP", ImageFormat::Bmp, makeBmp({.bits = 8, .compression = 1, .palette = {kBlack}}, 4, 3, {4, 0, 0})},
        {"truncated TIFF", ImageFormat::Tiff, firstHalf(encodeTiff({tiffRgb(noisy)}))},
        {"TIFF strip past the end", ImageFormat::Tiff, rawTiff(16, 16, 256, 100)},
        {"truncated GIF", ImageFormat::Gif, firstHalf(gifOf(noisy))},
        {"truncated PPM", ImageFormat::Pnm, firstHalf(binaryPnm('6', noisy, 255))},
        {"truncated P2", ImageFormat::Pnm, toBytes("P2 4 4 255 1 2 3")},
        {"PNM header cut short", ImageFormat::Pnm, toBytes("P5 4 4")},
        {"garbage as JPEG", ImageFormat::Jpeg, pseudoRandom(300, 1)},
        {"garbage as PNG", ImageFormat::Png, pseudoRandom(300, 2)},
        {"garbage as BMP", ImageFormat::Bmp, pseudoRandom(300, 3)},
        {"garbage as TIFF", ImageFormat::Tiff, pseudoRandom(300, 4)},
        {"garbage as GIF", ImageFormat::Gif, pseudoRandom(300, 5)},
        {"garbage as PNM", ImageFormat::Pnm, pseudoRandom(300, 6)},
        {"JPEG marker then garbage", ImageFormat::Jpeg, withPrefix("\xFF\xD8\xFF", pseudoRandom(300, 7))},
        {"PNG signature then garbage", ImageFormat::Png, withPrefix("\x89PNG\r\n\x1A\n", pseudoRandom(300, 8))},
        {"TIFF header then garbage", ImageFormat::Tiff, withPrefix(std::string_view("II*\0", 4), pseudoRandom(300, 9))},
        {"PNM letters for numbers", ImageFormat::Pnm, toBytes("P6 wide tall 255\n")},
        {"PNG bad header checksum", ImageFormat::Png, pngBadCrc},
        {"BMP pixel offset past the end", ImageFormat::Bmp, bmpPastEnd},
        {"BMP JPEG compression", ImageFormat::Bmp, bmpJpegCompression},
        {"PNM maxval 0", ImageFormat::Pnm, toBytes("P5 1 1 0\n\x00")},
        {"PNM maxval 70000", ImageFormat::Pnm, toBytes("P5 1 1 70000\n\x00\x00")},
        {"JPEG 65500 x 65500", ImageFormat::Jpeg, jpegWithSize(jpegOf(pattern(8, 8)), 65500, 65500)},
        {"PNG 100000 x 100000", ImageFormat::Png, pngWithSize(100000, 100000)},
        {"PNG 65535 x 65535", ImageFormat::Png, pngWithSize(65535, 65535)},
        {"BMP 70000 wide", ImageFormat::Bmp, bmpHugeWidth},
        {"BMP 60000 x 60000", ImageFormat::Bmp, bmpTooManyPixels},
        {"TIFF 100000 x 100000", ImageFormat::Tiff, rawTiff(100000, 100000, 1, 1)},
        {"TIFF 0 x 5", ImageFormat::Tiff, rawTiff(0, 5, 1, 1)},
        {"GIF screen 65535 x 65535", ImageFormat::Gif, gifWithScreen(65535, 65535)},
        {"PNM 70000 x 1", ImageFormat::Pnm, toBytes("P5 70000 1 255\n")},
        {"PNM 60000 x 60000", ImageFormat::Pnm, toBytes("P6 60000 60000 255\n")},
        {"PNM 0 x 0", ImageFormat::Pnm, toBytes("P5 0 0 255\n")},
    };
    for (const auto& [name, format, bytes] : cases) {
        SCOPED_TRACE(name);
        try {
            decodeImages(bytes, format, 0);
            ADD_FAILURE() << "decoded without an error";
        } catch (const DecodeError& e) {
            EXPECT_GT(std::strlen(e.what()), 10u) << "message too terse: " << e.what();
        }
    }
}

// ---- reading files ------------------------------------------------------------

void writeFile(const std::string& path, const Bytes& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

TEST(ReadImageFile, ChoosesTheDecoderFromNameAndContent) {
    const Image img = pattern(5, 4);
    const std::pair<std::string, Bytes> cases[] = {
        {"page.png", encodePng(pngRgb(img))},
        {"PAGE.BMP", bmpOf({}, img)},
        {"\xC9\xA8\xC3\xE8.tif", encodeTiff({tiffRgb(img)})},  // GBK name
        {"mislabelled.jpg", encodePng(pngRgb(img))},
        {"no_extension", bmpOf({}, img)},
        {"scan.dat", binaryPnm('6', img, 255)},
    };
    for (const auto& [name, bytes] : cases) {
        SCOPED_TRACE(name);
        const std::string path = tempPath(name);
        writeFile(path, bytes);
        try {
            EXPECT_TRUE(readImageFile(path).image == img);
        } catch (const DecodeError& e) {
            ADD_FAILURE() << e.what();
        }
        std::filesystem::remove(path);
    }
}

TEST(ReadImageFile, UnreadableOrUnknownFilesNameThePath) {
    const std::string unknown = tempPath("notes.txt");
    writeFile(unknown, toBytes("just some text, no image"));
    const std::string empty = tempPath("empty.png");
    writeFile(empty, {});
    for (const std::string& path : {tempPath("missing.png"), unknown, empty, ::testing::TempDir()}) {
        SCOPED_TRACE(path);
        try {
            readImageFile(path);
            ADD_FAILURE() << "read without an error";
        } catch (const DecodeError& e) {
            EXPECT_NE(std::string(e.what()).find(path), std::string::npos) << e.what();
        }
    }
    std::filesystem::remove(unknown);
    std::filesystem::remove(empty);
}

}  // namespace
}  // namespace orvix
