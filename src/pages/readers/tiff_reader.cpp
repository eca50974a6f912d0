// TIFF through libtiff, opened over the memory buffer; every photometric and
// compression libtiff knows goes through its RGBA interface.
#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

#include "errors.h"
#include "pages/readers/format_readers.h"

namespace orvix::readers {
namespace {

constexpr std::string_view kFormat = "TIFF";

struct Source {
    const std::uint8_t* data;
    std::size_t size;
    std::size_t offset;
    char message[512];
};

Source& sourceOf(thandle_t h) { return *static_cast<Source*>(h); }

tmsize_t readProc(thandle_t h, void* out, tmsize_t size) {
    Source& s = sourceOf(h);
    if (size <= 0 || s.offset >= s.size) return 0;
    const std::size_t n = std::min(static_cast<std::size_t>(size), s.size - s.offset);
    std::memcpy(out, s.data + s.offset, n);
    s.offset += n;
    return static_cast<tmsize_t>(n);
}

tmsize_t writeProc(thandle_t, void*, tmsize_t) { return 0; }

toff_t seekProc(thandle_t h, toff_t offset, int whence) {
    Source& s = sourceOf(h);
    const toff_t base = whence == SEEK_CUR ? s.offset : whence == SEEK_END ? s.size : 0;
    if (offset > UINT64_MAX - base) return static_cast<toff_t>(-1);
    const toff_t target = base + offset;
    // Reads past the end return nothing, so an offset beyond it is harmless.
    if (target > SIZE_MAX) return static_cast<toff_t>(-1);
    s.offset = static_cast<std::size_t>(target);
    return target;
}

int closeProc(thandle_t) { return 0; }
toff_t sizeProc(thandle_t h) { return sourceOf(h).size; }

// Mapping lets libtiff read strips in place instead of copying them.
int mapProc(thandle_t h, void** base, toff_t* size) {
    Source& s = sourceOf(h);
    *base = const_cast<std::uint8_t*>(s.data);
    *size = s.size;
    return 1;
}

void unmapProc(thandle_t, void*, toff_t) {}

// Keeps the first error text for the DecodeError; warnings are dropped.
void record(Source& s, const char* module, const char* fmt, va_list args) {
    if (s.message[0] != '\0') return;
    char text[256];
    std::vsnprintf(text, sizeof text, fmt, args);
    if (module && *module) std::snprintf(s.message, sizeof s.message, "%s: %s", module, text);
    else std::snprintf(s.message, sizeof s.message, "%s", text);
}

#if TIFFLIB_VERSION >= 20221213
int onError(TIFF*, void* user, const char* module, const char* fmt, va_list args) {
    record(*static_cast<Source*>(user), module, fmt, args);
    return 1;
}

int onWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

struct FreeOptions {
    void operator()(TIFFOpenOptions* o) const { TIFFOpenOptionsFree(o); }
};
#endif

struct Close {
    void operator()(TIFF* tif) const { TIFFClose(tif); }
};
using TiffPtr = std::unique_ptr<TIFF, Close>;

TiffPtr open(Source& src) {
    const auto h = static_cast<thandle_t>(&src);
#if TIFFLIB_VERSION >= 20221213
    std::unique_ptr<TIFFOpenOptions, FreeOptions> options(TIFFOpenOptionsAlloc());
    if (!options) fail(kFormat, "out of memory");
    TIFFOpenOptionsSetErrorHandlerExtR(options.get(), onError, &src);
    TIFFOpenOptionsSetWarningHandlerExtR(options.get(), onWarning, &src);
    TIFFOpenOptionsSetMaxSingleMemAlloc(options.get(), static_cast<tmsize_t>(kMaxPixelBytes));
    return TiffPtr(TIFFClientOpenExt("memory", "r", h, readProc, writeProc, seekProc, closeProc, sizeProc,
                                     mapProc, unmapProc, options.get()));
#else
    // Older libtiff has only process-wide handlers: silence them.
    TIFFSetErrorHandler(nullptr);
    TIFFSetWarningHandler(nullptr);
    return TiffPtr(
        TIFFClientOpen("memory", "r", h, readProc, writeProc, seekProc, closeProc, sizeProc, mapProc, unmapProc));
#endif
}

[[noreturn]] void failWith(const Source& src, std::string_view fallback) {
    fail(kFormat, src.message[0] != '\0' ? std::string_view(src.message) : fallback);
}

int resolutionDpi(TIFF* tif, ttag_t tag, std::uint16_t unit) {
    float value = 0;
    if (!TIFFGetField(tif, tag, &value)) return 0;
    if (unit == RESUNIT_INCH) return roundedDpi(value);
    if (unit == RESUNIT_CENTIMETER) return dpiFromPixelsPerCentimetre(value);
    return 0;
}

DecodedImage readPage(TIFF* tif, Source& src, std::size_t usedBytes) {
    std::uint32_t width = 0, height = 0;
    if (!TIFFGetField(tif, TIFFTAG_IMAGEWIDTH, &width) || !TIFFGetField(tif, TIFFTAG_IMAGELENGTH, &height))
        failWith(src, "page has no size");
    checkDimensions(kFormat, width, height);
    checkTotal(kFormat, usedBytes, width, height);
    char reason[1024] = "";
    if (!TIFFRGBAImageOK(tif, reason)) fail(kFormat, reason);

    std::vector<std::uint32_t> raster(static_cast<std::size_t>(width) * height);
    src.message[0] = '\0';
    if (!TIFFReadRGBAImageOriented(tif, width, height, raster.data(), ORIENTATION_TOPLEFT, 1))
        failWith(src, "cannot read the page's pixels");

    DecodedImage page;
    page.image = Image(static_cast<int>(width), static_cast<int>(height));
    std::uint8_t* out = page.image.data();
    for (const std::uint32_t px : raster) {
        // The raster is premultiplied: over white adds the uncovered part.
        const unsigned uncovered = 255u - TIFFGetA(px);
        *out++ = static_cast<std::uint8_t>(std::min(255u, TIFFGetR(px) + uncovered));
        *out++ = static_cast<std::uint8_t>(std::min(255u, TIFFGetG(px) + uncovered));
        *out++ = static_cast<std::uint8_t>(std::min(255u, TIFFGetB(px) + uncovered));
    }

    std::uint16_t bits = 1, samples = 1, unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    TIFFGetFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    TIFFGetFieldDefaulted(tif, TIFFTAG_RESOLUTIONUNIT, &unit);
    page.bitsPerSample = bits;
    page.samplesPerPixel = samples;
    page.dpiX = resolutionDpi(tif, TIFFTAG_XRESOLUTION, unit);
    page.dpiY = resolutionDpi(tif, TIFFTAG_YRESOLUTION, unit);
    return page;
}

}  // namespace

std::vector<DecodedImage> decodeTiff(Bytes bytes, std::size_t maxImages, OnBrokenImage onBroken) {
    Source src{bytes.data(), bytes.size(), 0, ""};
    TiffPtr tif = open(src);
    if (!tif) failWith(src, "not a readable TIFF file");

    std::vector<DecodedImage> pages;
    std::size_t usedBytes = 0;
    const bool endSeries = onBroken == OnBrokenImage::EndSeries;
    while (true) {
        try {
            pages.push_back(readPage(tif.get(), src, usedBytes));
        } catch (const DecodeError&) {
            if (endSeries && !pages.empty()) break;
            throw;
        }
        usedBytes += pages.back().image.byteSize();
        if (pages.size() >= maxImages) break;
        // A clean end of the directory chain is silent; a broken link records an error.
        src.message[0] = '\0';
        if (!TIFFReadDirectory(tif.get())) {
            if (src.message[0] != '\0' && !endSeries) failWith(src, "");
            break;
        }
    }
    return pages;
}

}  // namespace orvix::readers
