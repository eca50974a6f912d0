#include "encoding/jpeg_encoder.h"

#include <algorithm>
#include <string>

#include "encoding/jpeg_compress.h"
#include "errors.h"

namespace orvix {
namespace {

constexpr std::uint8_t kApp0 = 0xE0;
constexpr std::uint8_t kApp14 = 0xEE;
constexpr std::uint8_t kApp15 = 0xEF;
constexpr std::uint8_t kCom = 0xFE;
constexpr std::size_t kMaxMarkerBytes = 65533;  // 65535 minus the length field
constexpr int kDefaultDpi = 300;

// The record, checked and in libjpeg's terms; plain data, so it can cross
// into the error guard.
struct Settings {
    J_COLOR_SPACE colorSpace = JCS_YCbCr;
    int quality = 80;
    UINT16 xDensity = kDefaultDpi;
    UINT16 yDensity = kDefaultDpi;
    J_DCT_METHOD dctMethod = JDCT_ISLOW;
    bool optimize = false;
    int smoothing = 0;
    int lumaH = 2;
    int lumaV = 2;
    bool progressive = false;
    const JpegMarker* markers = nullptr;
    std::size_t markerCount = 0;
};

UINT16 density(std::int32_t dpi) {
    if (dpi <= 0) return kDefaultDpi;
    return static_cast<UINT16>(std::min<std::int32_t>(dpi, 65535));
}

std::string hexByte(std::uint8_t b) {
    const char* digits = "0123456789ABCDEF";
    return {'0', 'x', digits[b >> 4], digits[b & 15]};
}

// Anything but APPn and COM among the extra markers would break the stream.
void checkMarker(const JpegMarker& m) {
    const bool app = m.code >= kApp0 && m.code <= kApp15;
    if (!app && m.code != kCom) throw Error("JPEG marker " + hexByte(m.code) + " cannot be written as extra data");
    if (m.bytes.size() > kMaxMarkerBytes)
        throw Error("JPEG marker of " + std::to_string(m.bytes.size()) + " bytes is too long");
}

Settings settingsOf(const TIOParamsVals& p) {
    Settings s;
    switch (p.jpegColorSpace) {
        case 0: s.colorSpace = JCS_RGB; break;
        case 1: s.colorSpace = JCS_GRAYSCALE; break;
        case 2: s.colorSpace = JCS_YCbCr; break;
        case 3: s.colorSpace = JCS_CMYK; break;
        case 4: s.colorSpace = JCS_YCCK; break;
        default: throw Error("Unknown JPEG colour space " + std::to_string(p.jpegColorSpace));
    }
    switch (p.jpegDctMethod) {
        case 0: s.dctMethod = JDCT_ISLOW; break;
        case 1: s.dctMethod = JDCT_IFAST; break;
        case 2: s.dctMethod = JDCT_FLOAT; break;
        default: throw Error("Unknown JPEG DCT method " + std::to_string(p.jpegDctMethod));
    }
    switch (p.jpegSubsampling) {
        case 0: s.lumaH = 2, s.lumaV = 1; break;
        case 1: s.lumaH = 2, s.lumaV = 2; break;
        case 2: s.lumaH = 1, s.lumaV = 1; break;
        default: throw Error("Unknown JPEG subsampling " + std::to_string(p.jpegSubsampling));
    }
    // libjpeg clamps the quality to 1..100 itself.
    s.quality = p.jpegQuality;
    s.xDensity = density(p.dpiX);
    s.yDensity = density(p.dpiY);
    s.optimize = p.jpegOptimize;
    s.smoothing = std::clamp<std::int32_t>(p.jpegSmoothing, 0, 100);
    s.progressive = p.jpegProgressive;
    for (const JpegMarker& m : p.jpegMarkers) checkMarker(m);
    s.markers = p.jpegMarkers.data();
    s.markerCount = p.jpegMarkers.size();
    return s;
}

void configureFromRecord(jpeg_compress_struct& c, const void* context) {
    const auto& s = *static_cast<const Settings*>(context);
    jpeg_set_colorspace(&c, s.colorSpace);
    c.density_unit = 1;  // dots per inch
    c.X_density = s.xDensity;
    c.Y_density = s.yDensity;
    c.dct_method = s.dctMethod;
    c.optimize_coding = s.optimize ? TRUE : FALSE;
    c.smoothing_factor = s.smoothing;
    jpeg_set_quality(&c, s.quality, TRUE);
    if (s.colorSpace == JCS_YCbCr) {
        c.comp_info[0].h_samp_factor = s.lumaH;
        c.comp_info[0].v_samp_factor = s.lumaV;
        for (int i = 1; i < 3; ++i) c.comp_info[i].h_samp_factor = c.comp_info[i].v_samp_factor = 1;
    }
    // libjpeg leaves JFIF out for CMYK; this writer has always put it in.
    if (s.colorSpace == JCS_CMYK) c.write_JFIF_header = TRUE;
    if (s.progressive) jpeg_simple_progression(&c);
}

void writeRecordMarkers(jpeg_compress_struct& c, const void* context) {
    const auto& s = *static_cast<const Settings*>(context);
    for (std::size_t i = 0; i < s.markerCount; ++i) {
        const JpegMarker& m = s.markers[i];
        if (m.code == kApp14) continue;  // libjpeg owns the Adobe marker
        jpeg_write_marker(&c, m.code, m.bytes.data(), static_cast<unsigned>(m.bytes.size()));
    }
}

void configureStandalone(jpeg_compress_struct& c, const void*) { jpeg_set_quality(&c, 90, TRUE); }

}  // namespace

void encodeJpeg(const Image& image, const TIOParamsVals& params, ByteSink& out) {
    const Settings settings = settingsOf(params);
    const bool cmyk = settings.colorSpace == JCS_CMYK || settings.colorSpace == JCS_YCCK;
    jpeg::Setup setup;
    setup.context = &settings;
    setup.configure = configureFromRecord;
    setup.afterStart = writeRecordMarkers;
    jpeg::compress(image, cmyk ? jpeg::Input::Cmyk : jpeg::Input::Rgb, setup, out);
}

void encodeStandaloneJpeg(const Image& image, ByteSink& out) {
    jpeg::Setup setup;
    setup.configure = configureStandalone;
    jpeg::compress(image, jpeg::Input::Rgb, setup, out);
}

}  // namespace orvix
