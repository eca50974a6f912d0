#include "encoding/tiff/tiff_layout.h"

#include <algorithm>

#include "errors.h"

namespace orvix::tiff {
namespace {

bool isPaletteDepth(int bits) { return (bits >= 2 && bits <= 8) || bits == 16; }

std::uint16_t colourModel(std::uint8_t tiffPhotometric) {
    switch (tiffPhotometric) {
        case 0:
        case 1: return kBlackIsZero;
        case 3: return kPalette;
        case 5: return kSeparated;
        case 7: return kCieLab;
        default: return kRgb;
    }
}

// Adjusts the record to what the image and the other fields allow; returns
// the palette when the page is written with one sample per pixel.
std::optional<Palette> adjustRecord(const Image& image, TIOParamsVals& r) {
    std::optional<Palette> palette;
    const bool bilevel = r.bitsPerSample == 1 && r.samplesPerPixel == 1;
    if (!bilevel && r.samplesPerPixel == 1 && isPaletteDepth(r.bitsPerSample)) {
        palette = Palette::build(image, std::min(1 << std::min(r.bitsPerSample, 8), 256));
        if (r.tiffCompression != 5 && r.tiffCompression != 8 && r.tiffCompression != 9) r.tiffCompression = 0;
        if (palette->grey()) {
            r.tiffPhotometric = 1;
        } else {
            r.tiffPhotometric = 3;
            if (r.bitsPerSample == 16) r.bitsPerSample = 8;
        }
    }
    if (r.tiffPhotometric == 3 && r.samplesPerPixel > 1) r.tiffPhotometric = 2;
    if (r.bitsPerSample > 8 && r.samplesPerPixel != 1) {
        r.samplesPerPixel = 3;
        r.bitsPerSample = 8;
        r.tiffPhotometric = 2;
    }
    if (r.tiffPhotometric <= 1 && r.bitsPerSample == 8 && r.samplesPerPixel == 3) r.tiffPhotometric = 2;
    if (r.tiffPhotometric == 2 && bilevel) r.tiffPhotometric = 1;
    if (r.tiffPhotometric == 6 && r.tiffCompression != 7) r.tiffPhotometric = 2;
    if (r.tiffPhotometric == 2 && r.samplesPerPixel > 3) r.samplesPerPixel = 3;
    return palette;
}

void selectJpeg(TiffLayout& l, const TIOParamsVals& r) {
    l.jpegQuality = r.tiffJpegQuality;
    l.jpegColorSpace = r.tiffJpegColorSpace;
    switch (r.tiffJpegColorSpace) {
        case 0: l.photometric = kRgb; break;
        case 1: l.photometric = kBlackIsZero; break;
        case 2: l.photometric = kYCbCr; break;
        case 3: l.photometric = kSeparated; break;
        case 4:
            l.photometric = kRgb;
            l.jpegColorSpace = 0;
            break;
        default: throw Error("Unknown TIFF JPEG colour space " + std::to_string(r.tiffJpegColorSpace));
    }
    // The strip holds a colour (or grey) JPEG even for a black-and-white page.
    l.jpegOfBilevel = l.bilevel;
    l.bilevel = false;
    switch (l.photometric) {
        case kBlackIsZero: l.bitsPerSample = {8}; l.samplesPerPixel = 1; break;
        case kSeparated: l.bitsPerSample = {8, 8, 8, 8}; l.samplesPerPixel = 4; break;
        default: l.bitsPerSample = {8, 8, 8}; l.samplesPerPixel = 3; break;
    }
}

}  // namespace

TiffLayout resolveTiffLayout(const Image& image, TIOParamsVals& r) {
    if (image.empty()) throw Error("Cannot write an empty image as TIFF");
    TiffLayout l;
    l.palette = adjustRecord(image, r);
    l.bilevel = r.bitsPerSample == 1 && r.samplesPerPixel == 1;
    l.photometric = colourModel(r.tiffPhotometric);
    l.deflateLevel = r.tiffDeflateLevel;

    switch (r.tiffCompression) {
        case 1:
        case 2:
        case 3:
        case 4:
            // No fax coder here: a black-and-white page asked for CCITT is
            // stored uncompressed, white is zero.
            if (l.bilevel) {
                l.photometric = kWhiteIsZero;
                l.invert = true;
            }
            l.compression = kNone;
            break;
        case 5: l.compression = kLzw; break;
        case 6:
        case 7:
            l.compression = r.tiffCompression == 6 ? kOldJpeg : kJpeg;
            selectJpeg(l, r);
            return l;
        case 8: l.compression = kPackBits; break;
        case 9:
        case 10: l.compression = kDeflate; break;
        default: l.compression = kNone; break;
    }

    if (l.bilevel) {
        if (!l.invert) l.photometric = kBlackIsZero;
        l.bitsPerSample = {1};
        l.samplesPerPixel = 1;
        return l;
    }
    if ((l.photometric == kBlackIsZero || l.photometric == kPalette) && !l.palette) l.photometric = kRgb;
    if (l.photometric == kBlackIsZero && !l.palette->grey()) l.photometric = kPalette;
    switch (l.photometric) {
        case kBlackIsZero:
        case kPalette:
            l.indexBits = r.bitsPerSample;
            l.bitsPerSample = {static_cast<std::uint16_t>(r.bitsPerSample)};
            l.samplesPerPixel = 1;
            break;
        case kSeparated:
            l.bitsPerSample = {8, 8, 8, 8};
            l.samplesPerPixel = 4;
            break;
        default:
            l.bitsPerSample = {8, 8, 8};
            l.samplesPerPixel = 3;
            break;
    }
    l.predictor = l.compression == kLzw && r.bitsPerSample == 8 && r.samplesPerPixel == 3 && l.photometric == kRgb;
    return l;
}

}  // namespace orvix::tiff
