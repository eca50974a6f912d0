#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "encoding/byte_sink.h"
#include "encoding/io_params.h"
#include "encoding/tiff/packbits.h"
#include "encoding/tiff/tiff_block.h"
#include "encoding/tiff/tiff_writer.h"
#include "errors.h"
#include "oracles/jpeg_decode.h"
#include "oracles/run_command.h"
#include "oracles/scratch_dir.h"
#include "oracles/synthetic_page.h"
#include "pages/page_strip.h"

namespace orvix {
namespace {

using Bytes = std::vector<std::uint8_t>;

// ---- reading the file back by hand: header, IFD chain, entries ----

std::uint16_t le16(const Bytes& b, std::size_t at) { return static_cast<std::uint16_t>(b.at(at) | b.at(at + 1) << 8); }
std::uint32_t le32(const Bytes& b, std::size_t at) {
    return std::uint32_t{b.at(at)} | std::uint32_t{b.at(at + 1)} << 8 | std::uint32_t{b.at(at + 2)} << 16 |
           std::uint32_t{b.at(at + 3)} << 24;
}

struct RawEntry {
    std::uint16_t tag, type;
    std::uint32_t count, value;
};
struct RawIfd {
    std::uint32_t offset = 0;
    std::vector<RawEntry> entries;
    std::uint32_t next = 0;
    const RawEntry& at(std::uint16_t tag) const {
        for (const RawEntry& e : entries)
            if (e.tag == tag) return e;
        throw std::runtime_error("no tag " + std::to_string(tag));
    }
    bool has(std::uint16_t tag) const {
        return std::any_of(entries.begin(), entries.end(), [tag](const RawEntry& e) { return e.tag == tag; });
    }
};

std::vector<RawIfd> readChain(const Bytes& b) {
    EXPECT_EQ(b.at(0), 'I');
    EXPECT_EQ(b.at(1), 'I');
    EXPECT_EQ(le16(b, 2), 42);
    std::vector<RawIfd> ifds;
    for (std::uint32_t at = le32(b, 4); at != 0 && ifds.size() < 100;) {
        RawIfd ifd;
        ifd.offset = at;
        const int n = le16(b, at);
        for (int i = 0; i < n; ++i) {
            const std::size_t e = at + 2 + 12u * i;
            ifd.entries.push_back({le16(b, e), le16(b, e + 2), le32(b, e + 4), le32(b, e + 8)});
        }
        ifd.next = le32(b, at + 2 + 12u * n);
        at = ifd.next;
        ifds.push_back(ifd);
    }
    return ifds;
}

// ---- libtiff as the reader nobody here wrote ----

std::string& libtiffMessages() {
    static std::string text;
    return text;
}
void collect(const char* module, const char* fmt, va_list ap) {
    char line[1024];
    std::vsnprintf(line, sizeof line, fmt, ap);
    libtiffMessages() += std::string(module ? module : "") + ": " + line + "\n";
}

struct LibtiffPage {
    std::uint32_t width = 0, height = 0, rowsPerStrip = 0;
    std::uint16_t compression = 0, photometric = 0, samplesPerPixel = 0, bitsPerSample = 0, predictor = 1;
    float xResolution = -1, yResolution = -1;
    std::uint16_t resolutionUnit = 0;
    tstrip_t strips = 0;
    std::vector<std::uint8_t> rgb;  // from TIFFReadRGBAImage, top row first
    std::vector<std::uint8_t> raw;  // every strip decoded, in order
};

struct LibtiffFile {
    std::vector<LibtiffPage> pages;
    std::string messages;  // errors and warnings
};

LibtiffFile readWithLibtiff(const Bytes& bytes) {
    oracle::ScratchDir dir;
    const std::string path = dir.file("read.tif");
    oracle::writeFile(path, bytes);
    libtiffMessages().clear();
    TIFFSetErrorHandler(collect);
    TIFFSetWarningHandler(collect);
    LibtiffFile file;
    {
        std::unique_ptr<TIFF, void (*)(TIFF*)> tif(TIFFOpen(path.c_str(), "r"), TIFFClose);
        if (tif) {
            do {
                LibtiffPage p;
                TIFFGetField(tif.get(), TIFFTAG_IMAGEWIDTH, &p.width);
                TIFFGetField(tif.get(), TIFFTAG_IMAGELENGTH, &p.height);
                TIFFGetFieldDefaulted(tif.get(), TIFFTAG_ROWSPERSTRIP, &p.rowsPerStrip);
                TIFFGetField(tif.get(), TIFFTAG_COMPRESSION, &p.compression);
                TIFFGetField(tif.get(), TIFFTAG_PHOTOMETRIC, &p.photometric);
                TIFFGetFieldDefaulted(tif.get(), TIFFTAG_SAMPLESPERPIXEL, &p.samplesPerPixel);
                TIFFGetFieldDefaulted(tif.get(), TIFFTAG_BITSPERSAMPLE, &p.bitsPerSample);
                TIFFGetField(tif.get(), TIFFTAG_XRESOLUTION, &p.xResolution);
                TIFFGetField(tif.get(), TIFFTAG_YRESOLUTION, &p.yResolution);
                TIFFGetField(tif.get(), TIFFTAG_RESOLUTIONUNIT, &p.resolutionUnit);
                p.strips = TIFFNumberOfStrips(tif.get());
                std::vector<std::uint32_t> raster(std::size_t{p.width} * p.height);
                if (TIFFReadRGBAImageOriented(tif.get(), p.width, p.height, raster.data(), ORIENTATION_TOPLEFT, 0)) {
                    for (std::uint32_t px : raster) {
                        p.rgb.push_back(static_cast<std::uint8_t>(TIFFGetR(px)));
                        p.rgb.push_back(static_cast<std::uint8_t>(TIFFGetG(px)));
                        p.rgb.push_back(static_cast<std::uint8_t>(TIFFGetB(px)));
                    }
                }
                if (p.compression != COMPRESSION_JPEG && p.compression != COMPRESSION_OJPEG) {
                    for (tstrip_t s = 0; s < p.strips; ++s) {
                        std::vector<std::uint8_t> strip(static_cast<std::size_t>(TIFFStripSize(tif.get())));
                        const tmsize_t n = TIFFReadEncodedStrip(tif.get(), s, strip.data(), -1);
                        if (n < 0) break;
                        p.raw.insert(p.raw.end(), strip.begin(), strip.begin() + n);
                    }
                }
                file.pages.push_back(std::move(p));
            } while (TIFFReadDirectory(tif.get()));
        }
    }
    // libtiff warns about every old-style JPEG page, whatever its content.
    std::string& text = libtiffMessages();
    for (std::size_t at; (at = text.find("OJPEGSetupDecode: Deprecated")) != std::string::npos;)
        text.erase(at, text.find('\n', at) + 1 - at);
    file.messages = text;
    // libtiff only reports the predictor for the codecs that use it.
    const std::vector<RawIfd> ifds = readChain(bytes);
    for (std::size_t i = 0; i < std::min(ifds.size(), file.pages.size()); ++i)
        if (ifds[i].has(317)) file.pages[i].predictor = static_cast<std::uint16_t>(ifds[i].at(317).value);
    return file;
}

Bytes imageBytes(const Image& image) { return {image.data(), image.data() + image.byteSize()}; }

// Mean absolute difference per sample.
double meanError(const Bytes& a, const Bytes& b) {
    if (a.size() != b.size() || a.empty()) return 1e9;
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += std::abs(int{a[i]} - int{b[i]});
    return sum / static_cast<double>(a.size());
}

Image noisyImage(int w, int h, std::uint32_t seed) {
    Image image(w, h);
    std::mt19937 rng(seed);
    for (std::size_t i = 0; i < image.byteSize(); ++i) image.data()[i] = static_cast<std::uint8_t>(rng());
    return image;
}

TIOParamsVals exportRecord() {
    TIOParamsVals r = TIOParamsVals::forPage();
    forceExportValues(r);
    return r;
}

Bytes writeAll(const std::vector<TiffPage>& pages) {
    VectorSink sink;
    writeTiff(pages, sink);
    return sink.take();
}

bool toolInstalled(const char* path) { return std::filesystem::exists(path); }

// ---- the camera pages: three JPEG pages as setExportParams leaves them ----

TEST(TiffWriter, CameraPagesHaveTheExactDirectoryLayout) {
    const std::vector<TiffPage> pages = {
        {oracle::makeDocumentPage(64, 48, 1), exportRecord()},
        {oracle::makeDocumentPage(40, 30, 2), exportRecord()},
        {oracle::makeDocumentPage(33, 17, 3), exportRecord()},
    };
    const Bytes file = writeAll(pages);
    const std::vector<RawIfd> ifds = readChain(file);
    ASSERT_EQ(ifds.size(), 3u);
    EXPECT_EQ(ifds.back().next, 0u);

    // Data of the first page starts right behind the header.
    EXPECT_EQ(ifds[0].at(282).value, 8u);
    EXPECT_EQ(ifds[0].at(283).value, 16u);
    EXPECT_EQ(ifds[0].at(258).value, 24u);
    EXPECT_EQ(ifds[0].at(273).value, 30u);

    for (std::size_t k = 0; k < ifds.size(); ++k) {
        SCOPED_TRACE("page " + std::to_string(k));
        const RawIfd& ifd = ifds[k];
        const Image& image = pages[k].image;
        struct Expected {
            std::uint16_t tag, type;
            std::uint32_t count;
            std::int64_t value;  // -1: an offset, checked below
        };
        const std::vector<Expected> expected = {
            {254, 4, 1, 0},
            {256, 4, 1, image.width()},
            {257, 4, 1, image.height()},
            {258, 3, 3, -1},
            {259, 3, 1, 7},
            {262, 3, 1, 6},
            {273, 4, 1, -1},
            {277, 3, 1, 3},
            {278, 4, 1, image.height()},
            {279, 4, 1, -1},
            {282, 5, 1, -1},
            {283, 5, 1, -1},
            {296, 3, 1, 2},
        };
        ASSERT_EQ(ifd.entries.size(), expected.size());
        for (std::size_t i = 0; i < expected.size(); ++i) {
            const RawEntry& e = ifd.entries[i];
            EXPECT_EQ(e.tag, expected[i].tag);
            EXPECT_EQ(e.type, expected[i].type) << "tag " << e.tag;
            EXPECT_EQ(e.count, expected[i].count) << "tag " << e.tag;
            if (expected[i].value >= 0) {
                EXPECT_EQ(e.value, expected[i].value) << "tag " << e.tag;
            }
        }
        // Resolution 0/1 (a page record's unset 0), bits 8, 8, 8.
        for (std::uint16_t tag : {282, 283}) {
            EXPECT_EQ(le32(file, ifd.at(tag).value), 0u);
            EXPECT_EQ(le32(file, ifd.at(tag).value + 4), 1u);
        }
        for (int i = 0; i < 3; ++i) EXPECT_EQ(le16(file, ifd.at(258).value + 2 * i), 8);

        // One complete JPEG stream; the IFD follows at the next even offset.
        const std::uint32_t start = ifd.at(273).value, length = ifd.at(279).value;
        ASSERT_LE(std::size_t{start} + length, file.size());
        EXPECT_EQ(file[start], 0xFF);
        EXPECT_EQ(file[start + 1], 0xD8);
        EXPECT_EQ(file[start + length - 2], 0xFF);
        EXPECT_EQ(file[start + length - 1], 0xD9);
        EXPECT_EQ(ifd.offset, (start + length + 1) & ~1u);
        if (length % 2) {
            EXPECT_EQ(file[start + length], 0);
        }

        // A later page's data starts right after the previous IFD.
        if (k > 0) {
            EXPECT_EQ(ifd.at(282).value, ifds[k - 1].offset + 2 + 12 * 13 + 4);
        } else {
            EXPECT_EQ(le32(file, 4), ifd.offset);
        }
        if (k + 1 < ifds.size()) {
            EXPECT_EQ(ifd.next, ifds[k + 1].offset);
        }

        // Baseline JFIF, YCbCr 2x2, 300 dpi, decoding to the page.
        const auto jpeg = oracle::decodeJpeg(std::span(file).subspan(start, length));
        ASSERT_TRUE(jpeg.ok) << jpeg.error;
        EXPECT_EQ(jpeg.width, image.width());
        EXPECT_EQ(jpeg.colorSpace, JCS_YCbCr);
        EXPECT_FALSE(jpeg.progressive);
        EXPECT_TRUE(jpeg.sawJfif);
        EXPECT_EQ(jpeg.densityUnit, 1);
        EXPECT_EQ(jpeg.xDensity, 300);
        ASSERT_EQ(jpeg.components.size(), 3u);
        EXPECT_EQ(jpeg.components[0].h, 2);
        EXPECT_EQ(jpeg.components[0].v, 2);
        EXPECT_EQ(file.size(), ifds.back().offset + 2 + 12 * 13 + 4u);
    }
}

TEST(TiffWriter, JpegOfOddLengthIsFollowedByOnePadByte) {
    // Page sizes vary the JPEG length; keep going until an odd one turned up.
    bool sawOdd = false;
    for (int w = 16; w < 60 && !sawOdd; ++w) {
        const Bytes file = writeAll({{noisyImage(w, 9, static_cast<std::uint32_t>(w)), exportRecord()}});
        const RawIfd ifd = readChain(file).at(0);
        const std::uint32_t end = ifd.at(273).value + ifd.at(279).value;
        if (end % 2 == 0) {
            EXPECT_EQ(ifd.offset, end);
            continue;
        }
        sawOdd = true;
        EXPECT_EQ(ifd.offset, end + 1);
        EXPECT_EQ(file[end], 0);
    }
    EXPECT_TRUE(sawOdd);
}

TEST(TiffWriter, CameraPagesReadBackWithLibtiff) {
    PageStrip strip;
    for (int k = 0; k < 3; ++k) {
        strip.append();
        strip.setImage(k, oracle::makeDocumentPage(120 + 10 * k, 90 + 7 * k, static_cast<std::uint32_t>(k)));
        forceExportValues(strip.record(k));
    }
    VectorSink sink;
    writeTiff(strip, sink);
    const LibtiffFile read = readWithLibtiff(sink.bytes());
    EXPECT_EQ(read.messages, "");
    ASSERT_EQ(read.pages.size(), 3u);
    for (int k = 0; k < 3; ++k) {
        const LibtiffPage& p = read.pages[static_cast<std::size_t>(k)];
        EXPECT_EQ(p.width, static_cast<std::uint32_t>(strip.image(k).width()));
        EXPECT_EQ(p.height, static_cast<std::uint32_t>(strip.image(k).height()));
        EXPECT_EQ(p.compression, COMPRESSION_JPEG);
        EXPECT_EQ(p.photometric, PHOTOMETRIC_YCBCR);
        EXPECT_EQ(p.resolutionUnit, RESUNIT_INCH);
        EXPECT_EQ(p.xResolution, 0.0f);
        EXPECT_LT(meanError(p.rgb, imageBytes(strip.image(k))), 5.0) << "page " << k;
    }
}

// ---- every compression and colour model, read back with libtiff ----

struct RecordCase {
    const char* name;
    std::uint8_t compression;
    std::int32_t bitsPerSample, samplesPerPixel;
    std::uint8_t photometric;
    std::uint8_t jpegColorSpace;
    Image (*image)();
    std::uint16_t wantCompression, wantPhotometric, wantSamples, wantBits, wantPredictor;
    double tolerance;  // mean error per sample; 0: bit-exact
};

Image colourPage() { return noisyImage(37, 23, 7); }
Image documentPage() { return oracle::makeDocumentPage(150, 100, 9); }
Image greyPage() {
    Image image = noisyImage(29, 13, 3);
    for (std::size_t i = 0; i < image.byteSize(); i += 3) image.data()[i + 1] = image.data()[i + 2] = image.data()[i];
    return image;
}
Image greyDocumentPage() {
    Image image = documentPage();
    for (std::size_t i = 0; i < image.byteSize(); i += 3) image.data()[i + 1] = image.data()[i + 2] = image.data()[i];
    return image;
}
// Grey levels a 4-bit ramp holds exactly.
Image greyPage4() {
    Image image = greyPage();
    for (std::size_t i = 0; i < image.byteSize(); ++i) image.data()[i] = static_cast<std::uint8_t>(image.data()[i] / 17 * 17);
    return image;
}
// Five colours: an exact palette.
Image fewColours() {
    const Rgb colours[] = {{255, 0, 0}, {0, 128, 255}, {1, 2, 3}, {250, 250, 250}, {90, 200, 10}};
    Image image(31, 11);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) image.setPixel(x, y, colours[(x * 7 + y * 3) % 5]);
    return image;
}
Image blackAndWhitePage() {
    Image image(45, 21, {255, 255, 255});
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if ((x / 3 + y / 2) % 3 == 0) image.setPixel(x, y, {0, 0, 0});
    return image;
}

class TiffRecordCases : public ::testing::TestWithParam<RecordCase> {};

TEST_P(TiffRecordCases, ReadsBackWithLibtiff) {
    const RecordCase& c = GetParam();
    TIOParamsVals r = TIOParamsVals::forView();
    r.tiffCompression = c.compression;
    r.bitsPerSample = c.bitsPerSample;
    r.samplesPerPixel = c.samplesPerPixel;
    r.tiffPhotometric = c.photometric;
    r.tiffJpegColorSpace = c.jpegColorSpace;
    const Image image = c.image();
    const Bytes file = writeAll({{image, r}});
    const LibtiffFile read = readWithLibtiff(file);
    EXPECT_EQ(read.messages, "");
    ASSERT_EQ(read.pages.size(), 1u);
    const LibtiffPage& p = read.pages[0];
    EXPECT_EQ(p.compression, c.wantCompression);
    EXPECT_EQ(p.photometric, c.wantPhotometric);
    EXPECT_EQ(p.samplesPerPixel, c.wantSamples);
    EXPECT_EQ(p.bitsPerSample, c.wantBits);
    EXPECT_EQ(p.predictor, c.wantPredictor);
    EXPECT_EQ(p.xResolution, 300.0f);
    EXPECT_EQ(p.yResolution, 300.0f);
    ASSERT_EQ(p.width, static_cast<std::uint32_t>(image.width()));
    ASSERT_EQ(p.height, static_cast<std::uint32_t>(image.height()));
    if (c.tolerance == 0) {
        EXPECT_EQ(p.rgb, imageBytes(image));
        if (c.wantPhotometric == PHOTOMETRIC_RGB) {
            EXPECT_EQ(p.raw, imageBytes(image));
        }
    } else {
        EXPECT_LT(meanError(p.rgb, imageBytes(image)), c.tolerance);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Compressions, TiffRecordCases,
    ::testing::Values(
        // name, compression, bits, samples, photometric, jpeg colour space, image,
        // then what libtiff must see: compression, photometric, samples, bits, predictor, tolerance
        RecordCase{"None", 0, 8, 3, 2, 2, colourPage, 1, 2, 3, 8, 1, 0},
        RecordCase{"LzwWithPredictor", 5, 8, 3, 2, 2, documentPage, 5, 2, 3, 8, 2, 0},
        RecordCase{"LzwNoisy", 5, 8, 3, 2, 2, colourPage, 5, 2, 3, 8, 2, 0},
        RecordCase{"PackBits", 8, 8, 3, 2, 2, documentPage, 32773, 2, 3, 8, 1, 0},
        RecordCase{"DeflateDefault", 9, 8, 3, 2, 2, documentPage, 32946, 2, 3, 8, 1, 0},
        RecordCase{"DeflateTen", 10, 8, 3, 2, 2, colourPage, 32946, 2, 3, 8, 1, 0},
        RecordCase{"UnknownValueIsNone", 200, 8, 3, 2, 2, colourPage, 1, 2, 3, 8, 1, 0},
        RecordCase{"CcittOnColourIsNone", 4, 8, 3, 2, 2, colourPage, 1, 2, 3, 8, 1, 0},
        RecordCase{"JpegYCbCr", 7, 8, 3, 2, 2, documentPage, 7, 6, 3, 8, 1, 5},
        RecordCase{"JpegRgb", 7, 8, 3, 2, 0, documentPage, 7, 2, 3, 8, 1, 5},
        RecordCase{"JpegRgbFour", 7, 8, 3, 2, 4, documentPage, 7, 2, 3, 8, 1, 5},
        RecordCase{"JpegGrey", 7, 8, 3, 2, 1, greyDocumentPage, 7, 1, 1, 8, 1, 5},
        RecordCase{"OldStyleJpeg", 6, 8, 3, 2, 2, documentPage, 6, 6, 3, 8, 1, 5},
        RecordCase{"GreyEightBits", 0, 8, 1, 2, 2, greyPage, 1, 1, 1, 8, 1, 0},
        RecordCase{"GreyLzwNoPredictor", 5, 8, 1, 2, 2, greyPage, 5, 1, 1, 8, 1, 0},
        RecordCase{"GreyFourBits", 8, 4, 1, 2, 2, greyPage4, 32773, 1, 1, 4, 1, 0},
        RecordCase{"GreySixteenBits", 9, 16, 1, 2, 2, greyPage, 32946, 1, 1, 16, 1, 0},
        RecordCase{"GreyAskedJpegIsNone", 7, 8, 1, 2, 2, greyPage, 1, 1, 1, 8, 1, 0},
        RecordCase{"PaletteExact", 5, 8, 1, 2, 2, fewColours, 5, 3, 1, 8, 1, 0},
        RecordCase{"PaletteFourBits", 0, 4, 1, 2, 2, fewColours, 1, 3, 1, 4, 1, 0},
        RecordCase{"PaletteSixteenBecomesEight", 0, 16, 1, 3, 2, fewColours, 1, 3, 1, 8, 1, 0},
        RecordCase{"PaletteQuantised", 8, 8, 1, 3, 2, colourPage, 32773, 3, 1, 8, 1, 20},
        RecordCase{"BilevelNone", 0, 1, 1, 2, 2, blackAndWhitePage, 1, 1, 1, 1, 1, 0},
        RecordCase{"BilevelPackBits", 8, 1, 1, 2, 2, blackAndWhitePage, 32773, 1, 1, 1, 1, 0},
        RecordCase{"BilevelLzw", 5, 1, 1, 2, 2, blackAndWhitePage, 5, 1, 1, 1, 1, 0},
        RecordCase{"BilevelCcittStoredWhiteIsZero", 3, 1, 1, 2, 2, blackAndWhitePage, 1, 0, 1, 1, 1, 0},
        RecordCase{"BilevelJpegAsColour", 7, 1, 1, 2, 2, blackAndWhitePage, 7, 6, 3, 8, 1, 20},
        RecordCase{"Cmyk", 5, 8, 4, 5, 2, colourPage, 5, 5, 4, 8, 1, 1},
        RecordCase{"WideSamplesBecomeRgb", 8, 16, 3, 2, 2, colourPage, 32773, 2, 3, 8, 1, 0},
        RecordCase{"YCbCrWithoutJpegIsRgb", 0, 8, 3, 6, 2, colourPage, 1, 2, 3, 8, 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- CIE L*a*b*: the samples themselves, as libtiff decodes them ----

TEST(TiffWriter, CieLabSamplesOfKnownColours) {
    // sRGB against the D65 white: L* scaled to 0..255, a* and b* signed.
    struct Case {
        Rgb rgb;
        int l, a, b;
    };
    const std::vector<Case> cases = {
        {{255, 255, 255}, 255, 0, 0}, {{0, 0, 0}, 0, 0, 0},       {{255, 0, 0}, 136, 80, 67},
        {{0, 255, 0}, 224, -86, 83},  {{0, 0, 255}, 82, 79, -108}, {{128, 128, 128}, 137, 0, 0},
    };
    Image image(static_cast<int>(cases.size()), 1);
    for (std::size_t i = 0; i < cases.size(); ++i) image.setPixel(static_cast<int>(i), 0, cases[i].rgb);
    TIOParamsVals r = TIOParamsVals::forView();
    r.tiffPhotometric = 7;
    const LibtiffFile read = readWithLibtiff(writeAll({{image, r}}));
    EXPECT_EQ(read.messages, "");
    ASSERT_EQ(read.pages.size(), 1u);
    EXPECT_EQ(read.pages[0].photometric, PHOTOMETRIC_CIELAB);
    ASSERT_EQ(read.pages[0].raw.size(), 3 * cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        const std::uint8_t* lab = read.pages[0].raw.data() + 3 * i;
        EXPECT_NEAR(lab[0], cases[i].l, 1) << i;
        EXPECT_NEAR(static_cast<std::int8_t>(lab[1]), cases[i].a, 1) << i;
        EXPECT_NEAR(static_cast<std::int8_t>(lab[2]), cases[i].b, 1) << i;
    }
}

// ---- strips: about 512 KiB of padded rows each ----

TEST(TiffWriter, StripsAreSizedByPaddedRowLength) {
    struct Case {
        int width, height;
        std::uint32_t rowsPerStrip, strips;
    };
    // 1600 x 1200: L 4800, 10 strips of 120 rows. 1 x 600000: L 4 (not 3), 4 strips.
    for (const Case c : {Case{1600, 1200, 120, 10}, Case{1, 600000, 150000, 4}, Case{200, 3, 3, 1}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        TIOParamsVals r = TIOParamsVals::forView();
        r.tiffCompression = kTiffCompressionLzw;
        const Image image = oracle::makeDocumentPage(c.width, c.height, 4);
        const LibtiffFile read = readWithLibtiff(writeAll({{image, r}}));
        EXPECT_EQ(read.messages, "");
        ASSERT_EQ(read.pages.size(), 1u);
        EXPECT_EQ(read.pages[0].rowsPerStrip, c.rowsPerStrip);
        EXPECT_EQ(read.pages[0].strips, c.strips);
        EXPECT_EQ(read.pages[0].predictor, 2);
        EXPECT_TRUE(read.pages[0].raw == imageBytes(image));
    }
}

// ---- text, position and numbering tags ----

TEST(TiffWriter, TextAndNumberingTags) {
    TIOParamsVals r = exportRecord();
    r.imageDescription = "A scanned contract";
    r.documentName = "ab";  // short enough to stand in the entry
    r.pageName = "first";
    r.xPosition = 2;
    r.pageNumber = 0;
    r.dpiX = 200;
    r.dpiY = 150;
    const Bytes file = writeAll({{colourPage(), r}});
    const RawIfd ifd = readChain(file).at(0);
    EXPECT_EQ(ifd.at(269).count, 3u);
    EXPECT_EQ(ifd.at(269).value, 0x00006261u);
    EXPECT_FALSE(ifd.has(287));
    EXPECT_EQ(ifd.at(297).value, 0xFFFF0000u);  // 0 and the unset total

    oracle::ScratchDir dir;
    oracle::writeFile(dir.file("t.tif"), file);
    std::unique_ptr<TIFF, void (*)(TIFF*)> tif(TIFFOpen(dir.file("t.tif").c_str(), "r"), TIFFClose);
    ASSERT_TRUE(tif);
    const char* text = nullptr;
    ASSERT_TRUE(TIFFGetField(tif.get(), TIFFTAG_IMAGEDESCRIPTION, &text));
    EXPECT_STREQ(text, "A scanned contract");
    ASSERT_TRUE(TIFFGetField(tif.get(), TIFFTAG_PAGENAME, &text));
    EXPECT_STREQ(text, "first");
    ASSERT_TRUE(TIFFGetField(tif.get(), TIFFTAG_DOCUMENTNAME, &text));
    EXPECT_STREQ(text, "ab");
    float v = 0;
    ASSERT_TRUE(TIFFGetField(tif.get(), TIFFTAG_XPOSITION, &v));
    EXPECT_EQ(v, 2.0f);
    ASSERT_TRUE(TIFFGetField(tif.get(), TIFFTAG_XRESOLUTION, &v));
    EXPECT_EQ(v, 200.0f);
    ASSERT_TRUE(TIFFGetField(tif.get(), TIFFTAG_YRESOLUTION, &v));
    EXPECT_EQ(v, 150.0f);
}

// ---- PackBits row coding ----

TEST(TiffPackBits, RunsAndLiterals) {
    struct Case {
        const char* name;
        Bytes row, coded;
    };
    const Bytes run130(130, 7);
    Bytes literal130(130);
    for (std::size_t i = 0; i < literal130.size(); ++i) literal130[i] = static_cast<std::uint8_t>(i);
    Bytes run130Coded = {0x81, 7, 1, 7, 7};
    Bytes literal130Coded = {127};
    literal130Coded.insert(literal130Coded.end(), literal130.begin(), literal130.begin() + 128);
    literal130Coded.insert(literal130Coded.end(), {1, 128, 129});
    const std::vector<Case> cases = {
        {"single", {5}, {0, 5}},
        {"pair stays literal", {1, 1, 2}, {2, 1, 1, 2}},
        {"three stay literal", {9, 9, 9}, {2, 9, 9, 9}},
        {"four make a run", {9, 9, 9, 9}, {0xFD, 9}},
        {"literal, run, literal", {1, 2, 3, 3, 3, 3, 3, 4}, {1, 1, 2, 0xFC, 3, 0, 4}},
        {"run longer than 128", run130, run130Coded},
        {"literal longer than 128", literal130, literal130Coded},
        {"empty", {}, {}},
    };
    for (const Case& c : cases) {
        Bytes out;
        tiff::packBitsRow(c.row, out);
        EXPECT_EQ(out, c.coded) << c.name;
    }
}

// ---- appending to a file that is already there ----

TEST(TiffAppend, SeriesOfAppendsEqualsTheDocument) {
    std::vector<TiffPage> pages;
    for (int k = 0; k < 3; ++k) {
        TIOParamsVals r = exportRecord();
        if (k == 1) r.tiffCompression = kTiffCompressionLzw;
        pages.push_back({oracle::makeDocumentPage(50 + k, 40, static_cast<std::uint32_t>(k)), r});
    }
    VectorSink first;
    writeTiff(std::span(pages).first(1), first);
    Bytes file = first.take();
    for (int k = 1; k < 3; ++k) {
        TIOParamsVals r = pages[static_cast<std::size_t>(k)].record;
        r.tiffImageIndex = k;
        EXPECT_EQ(appendTiffPage(file, pages[static_cast<std::size_t>(k)].image, r), k + 1);
    }
    EXPECT_EQ(file, writeAll(pages));
}

TEST(TiffAppend, IndexZeroLinksThePageFirst) {
    const Image older = fewColours(), newer = colourPage();
    TIOParamsVals r = TIOParamsVals::forView();
    Bytes file = writeAll({{older, r}});
    const std::uint32_t oldFirst = le32(file, 4);
    r.tiffImageIndex = 0;
    EXPECT_EQ(appendTiffPage(file, newer, r), 2);
    const std::vector<RawIfd> ifds = readChain(file);
    ASSERT_EQ(ifds.size(), 2u);
    EXPECT_EQ(ifds[0].next, oldFirst);
    const LibtiffFile read = readWithLibtiff(file);
    EXPECT_EQ(read.messages, "");
    ASSERT_EQ(read.pages.size(), 2u);
    EXPECT_EQ(read.pages[0].rgb, imageBytes(newer));
    EXPECT_EQ(read.pages[1].rgb, imageBytes(older));
}

TEST(TiffAppend, RefusesStreamsItCannotLinkInto) {
    const Bytes good = writeAll({{colourPage(), TIOParamsVals::forView()}});
    Bytes bigEndian = good;
    bigEndian[0] = bigEndian[1] = 'M';
    Bytes pastEnd = good;
    tiff::storeLe32(pastEnd.data() + 4, static_cast<std::uint32_t>(good.size() + 100));
    Bytes looping = good;
    const RawIfd ifd = readChain(good).at(0);
    tiff::storeLe32(looping.data() + ifd.offset + 2 + 12 * ifd.entries.size(), ifd.offset);
    for (const Bytes& before : {bigEndian, pastEnd, looping, Bytes{}, Bytes{'I', 'I', 42}}) {
        Bytes file = before;
        TIOParamsVals r = TIOParamsVals::forView();
        r.tiffImageIndex = 1;
        EXPECT_THROW(appendTiffPage(file, colourPage(), r), TiffFormatError);
        EXPECT_EQ(file, before);
    }
}

// ---- failures ----

class FailingSink final : public ByteSink {
public:
    explicit FailingSink(std::uint64_t capacity) : capacity_(capacity) {}
    void write(std::span<const std::uint8_t> bytes) override {
        if (taken_ + bytes.size() > capacity_) throw Error("Disk full");
        taken_ += bytes.size();
    }
    std::uint64_t position() const override { return taken_; }

private:
    std::uint64_t capacity_, taken_ = 0;
};

TEST(TiffWriter, FailuresAreClearErrors) {
    VectorSink sink;
    EXPECT_THROW(writeTiff(std::vector<TiffPage>{{Image(), exportRecord()}}, sink), Error);
    TIOParamsVals badColourSpace = exportRecord();
    badColourSpace.tiffJpegColorSpace = 9;
    EXPECT_THROW(writeTiff(std::vector<TiffPage>{{colourPage(), badColourSpace}}, sink), Error);
    EXPECT_TRUE(sink.bytes().empty());

    // A sink that fills up: the error comes through and the document takes no more pages.
    FailingSink full(100);
    TiffWriter writer(full);
    EXPECT_THROW(writer.addPage(colourPage(), exportRecord()), Error);
    EXPECT_THROW(writer.addPage(colourPage(), exportRecord()), Error);
    EXPECT_THROW(writer.finish(), Error);
}

TEST(TiffWriter, NoPagesWriteNothing) {
    EXPECT_TRUE(writeAll({}).empty());
    VectorSink sink;
    writeTiff(PageStrip{}, sink);
    EXPECT_TRUE(sink.bytes().empty());
}

// ---- libtiff's own tools accept the file ----

TEST(TiffWriter, LibtiffToolsAcceptMixedDocument) {
    if (!toolInstalled("/usr/bin/tiffinfo") || !toolInstalled("/usr/bin/tiffdump"))
        GTEST_SKIP() << "libtiff-tools not installed";
    std::vector<TiffPage> pages;
    for (std::uint8_t compression : {7, 5, 8, 9, 0, 6}) {
        TIOParamsVals r = TIOParamsVals::forView();
        r.tiffCompression = compression;
        r.documentName = "doc";
        // Even height: libtiff's old-style JPEG reader stops short on a last half MCU row.
        const int height = compression == 6 ? 62 : 61;
        pages.push_back({oracle::makeDocumentPage(81, height, compression), r});
    }
    TIOParamsVals palette = TIOParamsVals::forView();
    palette.samplesPerPixel = 1;
    pages.push_back({fewColours(), palette});
    TIOParamsVals bilevel = TIOParamsVals::forView();
    bilevel.samplesPerPixel = bilevel.bitsPerSample = 1;
    pages.push_back({blackAndWhitePage(), bilevel});

    oracle::ScratchDir dir;
    const std::string path = dir.file("mixed.tif");
    oracle::writeFile(path, writeAll(pages));
    const auto info = oracle::runCommand("/usr/bin/tiffinfo -D '" + path + "' 2>&1 | grep -v 'Deprecated and troublesome'");
    ASSERT_TRUE(info.has_value());
    EXPECT_EQ(info->find("Error"), std::string::npos) << *info;
    EXPECT_EQ(info->find("Warning"), std::string::npos) << *info;
    EXPECT_EQ(info->find("not read"), std::string::npos) << *info;
    std::size_t directories = 0;
    for (std::size_t at = info->find("TIFF Directory at offset"); at != std::string::npos;
         at = info->find("TIFF Directory at offset", at + 1))
        ++directories;
    EXPECT_EQ(directories, pages.size());
    const auto dump = oracle::runCommand("/usr/bin/tiffdump '" + path + "' 2>&1");
    ASSERT_TRUE(dump.has_value());
    EXPECT_EQ(dump->find("rror"), std::string::npos) << *dump;
}

}  // namespace
}  // namespace orvix
