#pragma once
// How one page goes into the file: the record adjusted to the image, the
// colour model, the compression and the tag values that follow from them.
#include <cstdint>
#include <optional>
#include <vector>

#include "encoding/io_params.h"
#include "encoding/tiff/palette.h"
#include "pages/image.h"

namespace orvix::tiff {

enum Compression : std::uint16_t {
    kNone = 1,
    kCcittRle = 2,
    kCcittFax3 = 3,
    kCcittFax4 = 4,
    kLzw = 5,
    kOldJpeg = 6,
    kJpeg = 7,
    kPackBits = 32773,
    kDeflate = 32946,
};

enum Photometric : std::uint16_t {
    kWhiteIsZero = 0,
    kBlackIsZero = 1,
    kRgb = 2,
    kPalette = 3,
    kSeparated = 5,
    kYCbCr = 6,
    kCieLab = 8,
};

struct TiffLayout {
    bool bilevel = false;  // written from a black-and-white copy
    bool invert = false;   // bilevel bits flipped (white is zero)
    bool jpegOfBilevel = false;  // the JPEG is made of the black-and-white copy
    std::uint16_t compression = kNone;
    std::uint16_t photometric = kRgb;
    bool predictor = false;
    std::vector<std::uint16_t> bitsPerSample;
    std::uint16_t samplesPerPixel = 3;
    // Bits of one palette index (or grey level) with kPalette / kBlackIsZero.
    int indexBits = 8;
    std::optional<Palette> palette;
    std::int32_t jpegQuality = 80;
    std::uint8_t jpegColorSpace = 2;
    std::int32_t deflateLevel = 1;
};

// Adjusts the record to the image (the changes stay in it) and derives the
// page's layout. Throws Error for values no page can be written with.
TiffLayout resolveTiffLayout(const Image& image, TIOParamsVals& record);

}  // namespace orvix::tiff
