#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

#include "encoding/jpeg_encoder.h"
#include "errors.h"
#include "oracles/jpeg_decode.h"
#include "oracles/jpeg_markers.h"
#include "oracles/pillow.h"
#include "oracles/scratch_dir.h"
#include "oracles/synthetic_page.h"

namespace orvix {
namespace {

using Bytes = std::vector<std::uint8_t>;

// IJG's base tables (ITU T.81 Annex K), natural order.
constexpr std::array<unsigned, 64> kLumaBase = {
    16, 11, 10, 16, 24,  40,  51,  61,  12, 12, 14, 19, 26,  58,  60,  55,  14, 13, 16, 24,  40,  57,
    69, 56, 14, 17, 22,  29,  51,  87,  80, 62, 18, 22, 37,  56,  68,  109, 103, 77, 24, 35, 55,  64,
    81, 104, 113, 92, 49, 64, 78,  87,  103, 121, 120, 101, 72, 92, 95, 98,  112, 100, 103, 99};
constexpr std::array<unsigned, 64> kChromaBase = {
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99, 24, 26, 56, 99, 99, 99,
    99, 99, 47, 66, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99,
    99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99, 99};

// libjpeg's quality scaling with baseline (8-bit) tables.
std::vector<unsigned> scaledTable(const std::array<unsigned, 64>& base, int quality) {
    quality = std::clamp(quality, 1, 100);
    const long scale = quality < 50 ? 5000 / quality : 200 - quality * 2;
    std::vector<unsigned> table;
    for (unsigned b : base) table.push_back(static_cast<unsigned>(std::clamp((b * scale + 50) / 100, 1L, 255L)));
    return table;
}

// Smooth colours with a few hard edges: what a photographed page has, at a
// size that is not a multiple of the MCU.
Image testImage(int w = 97, int h = 61) {
    Image img(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            Rgb c{static_cast<std::uint8_t>(40 + 180 * x / w), static_cast<std::uint8_t>(220 - 150 * y / h),
                  static_cast<std::uint8_t>(90 + (x + y) % 60)};
            if (x > w / 2 && y > h / 2) c = {30, 40, 200};
            img.setPixel(x, y, c);
        }
    return img;
}

Bytes encodeA(const Image& image, const TIOParamsVals& params) {
    VectorSink sink;
    encodeJpeg(image, params, sink);
    return sink.take();
}

Bytes encodeB(const Image& image) {
    VectorSink sink;
    encodeStandaloneJpeg(image, sink);
    return sink.take();
}

double meanAbsDiff(const Bytes& a, const Bytes& b) {
    if (a.size() != b.size() || a.empty()) return 1e9;
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) sum += std::abs(int{a[i]} - int{b[i]});
    return sum / static_cast<double>(a.size());
}

Bytes rgbOf(const Image& img) { return Bytes(img.data(), img.data() + img.byteSize()); }

Bytes lumaOf(const Image& img) {
    Bytes y;
    for (std::size_t i = 0; i < img.byteSize(); i += 3) {
        const std::uint8_t* p = img.data() + i;
        y.push_back(static_cast<std::uint8_t>(std::lround(0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2])));
    }
    return y;
}

const oracle::JpegSegment* findSegment(const oracle::JpegLayout& layout, std::uint8_t code) {
    for (const auto& s : layout.segments)
        if (s.code == code) return &s;
    return nullptr;
}

// What a record should produce, from libjpeg's documented colour-space set-up
// plus the record's own rules.
struct RecordCase {
    std::string name;
    TIOParamsVals params;
    std::vector<oracle::JpegComponent> components;  // id, h, v, quantisation table
    bool jfif;
    int adobeTransform;  // -1: no Adobe marker
    int xDpi, yDpi;
    double maxMeanError;
};

TIOParamsVals record(void (*change)(TIOParamsVals&)) {
    TIOParamsVals p = TIOParamsVals::forPage();
    change(p);
    return p;
}

std::vector<RecordCase> recordCases() {
    const std::vector<oracle::JpegComponent> ycc22 = {{1, 2, 2, 0}, {2, 1, 1, 1}, {3, 1, 1, 1}};
    return {
        {"defaults: YCbCr 2x2, q80, 300 dpi", TIOParamsVals::forPage(), ycc22, true, -1, 300, 300, 3},
        {"view record dpi, luma 2x1", record([](auto& p) { p.dpiX = 200, p.dpiY = 150, p.jpegSubsampling = 0; }),
         {{1, 2, 1, 0}, {2, 1, 1, 1}, {3, 1, 1, 1}}, true, -1, 200, 150, 3},
        {"luma 1x1, q95", record([](auto& p) { p.jpegSubsampling = 2, p.jpegQuality = 95; }),
         {{1, 1, 1, 0}, {2, 1, 1, 1}, {3, 1, 1, 1}}, true, -1, 300, 300, 2},
        {"dpi out of range", record([](auto& p) { p.dpiX = -5, p.dpiY = 70000; }), ycc22, true, -1, 300, 65535, 3},
        {"progressive, q10", record([](auto& p) { p.jpegProgressive = true, p.jpegQuality = 10; }), ycc22, true, -1,
         300, 300, 12},
        {"RGB", record([](auto& p) { p.jpegColorSpace = 0; }), {{'R', 1, 1, 0}, {'G', 1, 1, 0}, {'B', 1, 1, 0}},
         false, 0, 0, 0, 3},
        {"greyscale", record([](auto& p) { p.jpegColorSpace = 1; }), {{1, 1, 1, 0}}, true, -1, 300, 300, 3},
        {"CMYK keeps JFIF too", record([](auto& p) { p.jpegColorSpace = 3; }),
         {{'C', 1, 1, 0}, {'M', 1, 1, 0}, {'Y', 1, 1, 0}, {'K', 1, 1, 0}}, true, 0, 300, 300, 4},
        {"YCCK", record([](auto& p) { p.jpegColorSpace = 4; }),
         {{1, 2, 2, 0}, {2, 1, 1, 1}, {3, 1, 1, 1}, {4, 2, 2, 0}}, false, 2, 0, 0, 5},
        {"optimised, fast DCT, smoothing", record([](auto& p) {
             p.jpegOptimize = true, p.jpegDctMethod = 1, p.jpegSmoothing = 30;
         }),
         ycc22, true, -1, 300, 300, 4},
    };
}

std::vector<unsigned> expectedTable(const TIOParamsVals& p, int table) {
    return scaledTable(table == 0 ? kLumaBase : kChromaBase, p.jpegQuality);
}

TEST(JpegEncoderA, LibjpegReadsBackTheRecordSettings) {
    const Image image = testImage();
    for (const auto& c : recordCases()) {
        SCOPED_TRACE(c.name);
        const Bytes jpeg = encodeA(image, c.params);
        const auto d = oracle::decodeJpeg(jpeg);
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(d.width, image.width());
        EXPECT_EQ(d.height, image.height());
        EXPECT_EQ(d.components, c.components);
        EXPECT_EQ(d.sawJfif, c.jfif);
        if (c.jfif) {
            EXPECT_EQ(d.densityUnit, 1);
            EXPECT_EQ(d.xDensity, c.xDpi);
            EXPECT_EQ(d.yDensity, c.yDpi);
        }
        EXPECT_EQ(d.sawAdobe, c.adobeTransform >= 0);
        if (c.adobeTransform >= 0) {
            EXPECT_EQ(d.adobeTransform, c.adobeTransform);
        }
        EXPECT_EQ(d.progressive, c.params.jpegProgressive);
        for (const auto& comp : c.components)
            EXPECT_EQ(d.quant[comp.quantTable], expectedTable(c.params, comp.quantTable)) << "table " << comp.quantTable;

        if (d.outComponents == 3) {
            EXPECT_LE(meanAbsDiff(d.pixels, rgbOf(image)), c.maxMeanError);
        } else if (d.outComponents == 1) {
            EXPECT_LE(meanAbsDiff(d.pixels, lumaOf(image)), c.maxMeanError);
        }
    }
}

TEST(JpegEncoderA, PillowReadsBackTheRecordSettings) {
    if (!oracle::pillowAvailable()) GTEST_SKIP() << "Pillow (python3-pil) is not installed";
    const Image image = testImage();
    for (const auto& c : recordCases()) {
        SCOPED_TRACE(c.name);
        const Bytes jpeg = encodeA(image, c.params);
        const auto view = oracle::inspectWithPillow(jpeg);
        ASSERT_TRUE(view) << "Pillow cannot read the stream";
        EXPECT_EQ(view->get("size"), (std::vector<std::string>{std::to_string(image.width()), std::to_string(image.height())}));
        EXPECT_EQ(view->get("jfif"), std::vector<std::string>{c.jfif ? "1" : "0"});
        if (c.jfif) {
            EXPECT_EQ(view->get("jfif_unit"), std::vector<std::string>{"1"});
            EXPECT_EQ(view->get("jfif_density"),
                      (std::vector<std::string>{std::to_string(c.xDpi), std::to_string(c.yDpi)}));
        }
        EXPECT_EQ(view->get("adobe"), std::vector<std::string>{c.adobeTransform >= 0 ? "1" : "0"});
        EXPECT_EQ(view->get("progressive"), std::vector<std::string>{c.params.jpegProgressive ? "1" : "0"});
        const auto layers = view->all("layer");
        ASSERT_EQ(layers.size(), c.components.size());
        for (std::size_t i = 0; i < layers.size(); ++i) {
            const auto& k = c.components[i];
            EXPECT_EQ(layers[i], (std::vector<std::string>{std::to_string(k.id), std::to_string(k.h),
                                                           std::to_string(k.v), std::to_string(k.quantTable)}));
        }
        for (const auto& q : view->all("quant")) {
            ASSERT_EQ(q.size(), 65u);
            std::vector<unsigned> values;
            for (std::size_t i = 1; i < q.size(); ++i) values.push_back(static_cast<unsigned>(std::stoul(q[i])));
            EXPECT_EQ(values, expectedTable(c.params, std::stoi(q[0]))) << "table " << q[0];
        }
        // Pillow's own CMYK and YCCK handling checks the colour conversion.
        if (c.params.jpegColorSpace != 1) {
            EXPECT_LE(meanAbsDiff(view->rgb, rgbOf(image)), c.maxMeanError);
        }
    }
}

TEST(JpegEncoderA, QualityGivesLibjpegsScaledBaselineTables) {
    const Image image = testImage(32, 32);
    for (int quality : {-3, 0, 1, 5, 10, 25, 49, 50, 51, 75, 80, 90, 99, 100, 150}) {
        TIOParamsVals p;
        p.jpegQuality = quality;
        const auto d = oracle::decodeJpeg(encodeA(image, p));
        ASSERT_TRUE(d.ok) << d.error;
        EXPECT_EQ(d.quant[0], scaledTable(kLumaBase, quality)) << "quality " << quality;
        EXPECT_EQ(d.quant[1], scaledTable(kChromaBase, quality)) << "quality " << quality;
    }
}

// SOI, the markers libjpeg chose, the record's extra markers in their order
// (without any APP14), then the frame.
TEST(JpegEncoderA, ExtraMarkersFollowLibjpegsHeaderMarkers) {
    const JpegMarker exif{0xE1, {'E', 'x', 'i', 'f', 0, 0, 1, 2, 3}};
    const JpegMarker comment{0xFE, {'h', 'e', 'l', 'l', 'o'}};
    const JpegMarker keptAdobe{0xEE, {'A', 'd', 'o', 'b', 'e', 0, 100, 0, 0, 0, 0, 1}};
    const JpegMarker icc{0xE2, Bytes(65533, 7)};
    struct Case {
        const char* name;
        std::uint8_t colorSpace;
        std::vector<std::uint8_t> header;  // libjpeg's own markers after SOI
    };
    for (const Case& c : {Case{"YCbCr", 2, {0xE0}}, Case{"CMYK", 3, {0xE0, 0xEE}}, Case{"RGB", 0, {0xEE}}}) {
        SCOPED_TRACE(c.name);
        TIOParamsVals p;
        p.jpegColorSpace = c.colorSpace;
        p.jpegMarkers = {exif, keptAdobe, comment, icc};
        const Bytes jpeg = encodeA(testImage(), p);
        const auto layout = oracle::walkJpeg(jpeg);
        ASSERT_TRUE(layout.ok) << layout.error;
        EXPECT_TRUE(layout.endsWithEoi);

        std::vector<std::uint8_t> expected = {0xD8};
        expected.insert(expected.end(), c.header.begin(), c.header.end());
        expected.insert(expected.end(), {0xE1, 0xFE, 0xE2});
        const auto codes = layout.codes();
        ASSERT_GE(codes.size(), expected.size() + 1);
        EXPECT_EQ(std::vector<std::uint8_t>(codes.begin(), codes.begin() + expected.size()), expected);
        EXPECT_EQ(codes[expected.size()], 0xDB) << "the quantisation tables come next";
        EXPECT_EQ(std::count(codes.begin(), codes.end(), 0xEE), c.header.back() == 0xEE ? 1 : 0);

        const std::size_t first = c.header.size() + 1;
        EXPECT_EQ(layout.segments[first].payload, exif.bytes);
        EXPECT_EQ(layout.segments[first + 1].payload, comment.bytes);
        EXPECT_EQ(layout.segments[first + 2].payload, icc.bytes);
        if (c.header.back() == 0xEE) {
            const auto* adobe = findSegment(layout, 0xEE);
            EXPECT_NE(adobe->payload, keptAdobe.bytes) << "libjpeg's Adobe marker, not the kept one";
        }
        EXPECT_TRUE(oracle::decodeJpeg(jpeg).ok);
    }
}

TEST(JpegEncoderA, BaselineOrProgressiveFrame) {
    const Image image = testImage();
    for (bool progressive : {false, true}) {
        TIOParamsVals p;
        p.jpegProgressive = progressive;
        const auto layout = oracle::walkJpeg(encodeA(image, p));
        ASSERT_TRUE(layout.ok) << layout.error;
        EXPECT_EQ(findSegment(layout, 0xC0) != nullptr, !progressive);
        EXPECT_EQ(findSegment(layout, 0xC2) != nullptr, progressive);
    }
}

// Fields whose effect is not visible in any header must still reach libjpeg:
// each one changes the coded data.
TEST(JpegEncoderA, TuningFieldsChangeTheCodedData) {
    const Image page = oracle::makeDocumentPage(200, 150, 3);
    const Bytes plain = encodeA(page, TIOParamsVals{});
    struct Case {
        const char* name;
        void (*change)(TIOParamsVals&);
    };
    const Case cases[] = {
        {"fast integer DCT", [](TIOParamsVals& p) { p.jpegDctMethod = 1; }},
        {"floating-point DCT", [](TIOParamsVals& p) { p.jpegDctMethod = 2; }},
        {"smoothing 60", [](TIOParamsVals& p) { p.jpegSmoothing = 60; }},
        {"smoothing above 100 is 100", [](TIOParamsVals& p) { p.jpegSmoothing = 1000; }},
    };
    for (const auto& c : cases) {
        TIOParamsVals p;
        c.change(p);
        const Bytes changed = encodeA(page, p);
        EXPECT_NE(changed, plain) << c.name;
        EXPECT_TRUE(oracle::decodeJpeg(changed).ok) << c.name;
    }
    TIOParamsVals hundred, thousand;
    hundred.jpegSmoothing = 100;
    thousand.jpegSmoothing = 1000;
    EXPECT_EQ(encodeA(page, hundred), encodeA(page, thousand));

    TIOParamsVals optimised;
    optimised.jpegOptimize = true;
    const Bytes small = encodeA(page, optimised);
    EXPECT_LT(small.size(), plain.size()) << "optimised Huffman tables";
    EXPECT_NE(findSegment(oracle::walkJpeg(small), 0xC4)->payload,
              findSegment(oracle::walkJpeg(plain), 0xC4)->payload);
}

TEST(JpegEncoderA, BadRecordsAndImagesAreErrors) {
    const Image image = testImage(16, 16);
    struct Case {
        const char* name;
        void (*change)(TIOParamsVals&);
    };
    const Case cases[] = {
        {"colour space 5", [](TIOParamsVals& p) { p.jpegColorSpace = 5; }},
        {"DCT method 3", [](TIOParamsVals& p) { p.jpegDctMethod = 3; }},
        {"subsampling 3", [](TIOParamsVals& p) { p.jpegSubsampling = 3; }},
        {"EOI as an extra marker", [](TIOParamsVals& p) { p.jpegMarkers = {{0xD9, {1}}}; }},
        {"SOF0 as an extra marker", [](TIOParamsVals& p) { p.jpegMarkers = {{0xC0, {1}}}; }},
        {"marker of 65534 bytes", [](TIOParamsVals& p) { p.jpegMarkers = {{0xE1, Bytes(65534, 1)}}; }},
    };
    for (const auto& c : cases) {
        TIOParamsVals p;
        c.change(p);
        VectorSink sink;
        EXPECT_THROW(encodeJpeg(image, p, sink), Error) << c.name;
        EXPECT_EQ(sink.position(), 0u) << c.name << ": nothing written";
    }
    VectorSink sink;
    EXPECT_THROW(encodeJpeg(Image(), TIOParamsVals{}, sink), Error);
    EXPECT_THROW(encodeStandaloneJpeg(Image(0, 5), sink), Error);
}

// libjpeg refuses images wider than 65500 pixels: its error comes out as an
// Error carrying libjpeg's message, and nothing leaks.
TEST(JpegEncoderA, LibjpegErrorBecomesAnError) {
    const Image wide(70000, 1, Rgb{1, 2, 3});
    VectorSink sink;
    try {
        encodeJpeg(wide, TIOParamsVals{}, sink);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("JPEG"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("65500"), std::string::npos) << e.what();
    }
}

// The sink's own exception reaches the caller unchanged, whether it fails on
// a full buffer or at the final flush.
TEST(JpegEncoders, SinkExceptionPassesThroughLibjpeg) {
    struct Broken : std::runtime_error {
        using std::runtime_error::runtime_error;
    };
    class FailingSink : public ByteSink {
    public:
        explicit FailingSink(std::uint64_t limit) : limit_(limit) {}
        void write(std::span<const std::uint8_t> bytes) override {
            if (taken_ + bytes.size() > limit_) throw Broken("sink full");
            taken_ += bytes.size();
        }
        std::uint64_t position() const override { return taken_; }

    private:
        std::uint64_t limit_, taken_ = 0;
    };
    const Image big = oracle::makeDocumentPage(400, 300, 2);
    const Image small = testImage(8, 8);
    for (std::uint64_t limit : {std::uint64_t{0}, std::uint64_t{5000}}) {
        FailingSink a(limit), b(limit), c(limit);
        EXPECT_THROW(encodeJpeg(big, TIOParamsVals{}, a), Broken) << "limit " << limit;
        EXPECT_THROW(encodeStandaloneJpeg(big, b), Broken) << "limit " << limit;
        if (limit == 0) {
            EXPECT_THROW(encodeJpeg(small, TIOParamsVals{}, c), Broken) << "final flush";
        }
    }
}

TEST(JpegEncoderA, FileSinkHoldsTheSameStream) {
    oracle::ScratchDir dir;
    const Image image = testImage();
    const std::string path = dir.file("page.jpg");
    {
        FileSink file(path);
        encodeJpeg(image, TIOParamsVals{}, file);
        file.close();
    }
    EXPECT_EQ(oracle::readFile(path), encodeA(image, TIOParamsVals{}));
    EXPECT_THROW(FileSink(dir.file("missing/page.jpg")), Error);
}

TEST(JpegEncoderB, FixedSettings) {
    const Image image = testImage();
    const Bytes jpeg = encodeB(image);
    const auto d = oracle::decodeJpeg(jpeg);
    ASSERT_TRUE(d.ok) << d.error;
    EXPECT_EQ(d.components, (std::vector<oracle::JpegComponent>{{1, 2, 2, 0}, {2, 1, 1, 1}, {3, 1, 1, 1}}));
    EXPECT_TRUE(d.sawJfif);
    EXPECT_EQ(d.densityUnit, 0);
    EXPECT_EQ(d.xDensity, 1);
    EXPECT_EQ(d.yDensity, 1);
    EXPECT_FALSE(d.sawAdobe);
    EXPECT_FALSE(d.progressive);
    EXPECT_EQ(d.quant[0], scaledTable(kLumaBase, 90));
    EXPECT_EQ(d.quant[1], scaledTable(kChromaBase, 90));
    EXPECT_LE(meanAbsDiff(d.pixels, rgbOf(image)), 2.5);
    const auto layout = oracle::walkJpeg(jpeg);
    ASSERT_TRUE(layout.ok) << layout.error;
    EXPECT_TRUE(layout.endsWithEoi);
    EXPECT_NE(findSegment(layout, 0xC0), nullptr) << "baseline frame";

    if (!oracle::pillowAvailable()) return;
    const auto view = oracle::inspectWithPillow(jpeg);
    ASSERT_TRUE(view);
    EXPECT_EQ(view->get("jfif_unit"), std::vector<std::string>{"0"});
    EXPECT_EQ(view->get("jfif_density"), (std::vector<std::string>{"1", "1"}));
    EXPECT_EQ(view->get("progressive"), std::vector<std::string>{"0"});
}

}  // namespace
}  // namespace orvix
