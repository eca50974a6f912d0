#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "encoding/io_params.h"

namespace orvix {
namespace {

// One row per field: its default in a page record, a different value, and
// whether a new page takes it over from its neighbour.
struct FieldCase {
    std::string name;
    bool copied;
    std::function<bool(const TIOParamsVals&)> isDefault;
    std::function<void(TIOParamsVals&)> change;
};

#define FIELD(f, def, other, copied) \
    FieldCase { #f, copied, [](const TIOParamsVals& r) { return r.f == def; }, [](TIOParamsVals& r) { r.f = other; } }

std::vector<FieldCase> fieldCases() {
    using S = std::string;
    return {
        FIELD(bitsPerSample, 8, 1, true),
        FIELD(samplesPerPixel, 3, 1, true),
        FIELD(dpiX, 0, 200, false),
        FIELD(dpiY, 0, 200, false),
        FIELD(tiffCompression, 0, 4, true),
        FIELD(tiffPhotometric, 2, 1, true),
        FIELD(tiffImageIndex, 0, 3, false),
        FIELD(tiffJpegQuality, 80, 40, true),
        FIELD(tiffJpegColorSpace, 2, 1, true),
        FIELD(tiffFillOrder, 1, 2, true),
        FIELD(tiffDeflateLevel, 1, 2, true),
        FIELD(documentName, S(), S("doc"), false),
        FIELD(imageDescription, S(), S("desc"), false),
        FIELD(pageName, S(), S("p"), false),
        FIELD(xPosition, 0, 7, false),
        FIELD(yPosition, 0, 7, false),
        FIELD(pageNumber, -1, 2, false),
        FIELD(pageTotal, -1, 5, false),
        FIELD(jpegColorSpace, 2, 1, true),
        FIELD(jpegQuality, 80, 55, true),
        FIELD(jpegDctMethod, 0, 2, true),
        FIELD(jpegSubsampling, 1, 2, true),
        FIELD(jpegOptimize, false, true, true),
        FIELD(jpegSmoothing, 0, 30, true),
        FIELD(jpegProgressive, false, true, true),
        FIELD(jpegMarkers, std::vector<JpegMarker>{}, (std::vector<JpegMarker>{{0xE1, {1, 2, 3}}}), false),
        FIELD(pdfPaperWidth, 595, 612, false),
        FIELD(pdfPaperHeight, 842, 792, false),
        FIELD(pdfCompression, 2, 4, true),
        FIELD(pdfTitle, S(), S("t"), false),
        FIELD(pdfAuthor, S(), S("a"), false),
        FIELD(pdfSubject, S(), S("s"), false),
        FIELD(pdfKeywords, S(), S("k"), false),
        FIELD(pdfCreator, S(), S("c"), false),
        FIELD(pdfProducer, S(), S("p"), false),
    };
}
#undef FIELD

TEST(IoParams, PageRecordStartsAtTheDefaults) {
    const TIOParamsVals page = TIOParamsVals::forPage();
    for (const auto& c : fieldCases()) EXPECT_TRUE(c.isDefault(page)) << c.name;
}

TEST(IoParams, ViewRecordDiffersFromAPageRecordOnlyInItsResolution) {
    TIOParamsVals view = TIOParamsVals::forView();
    EXPECT_EQ(view.dpiX, 300);
    EXPECT_EQ(view.dpiY, 300);
    view.dpiX = view.dpiY = 0;
    EXPECT_EQ(view, TIOParamsVals::forPage());
}

TEST(IoParams, CopyTakesExactlyTheEncodingSettings) {
    for (const auto& c : fieldCases()) {
        SCOPED_TRACE(c.name);
        TIOParamsVals source = TIOParamsVals::forPage();
        c.change(source);
        ASSERT_FALSE(c.isDefault(source)) << "the row must change the field";

        TIOParamsVals target = TIOParamsVals::forPage();
        target.copyEncodingSettingsFrom(source);
        // Whole-record comparison: the copy must not touch any other field.
        if (c.copied) {
            EXPECT_EQ(target, source);
        } else {
            EXPECT_EQ(target, TIOParamsVals::forPage());
        }
    }
}

TEST(IoParams, CopyKeepsTheTargetsOwnResolution) {
    TIOParamsVals target = TIOParamsVals::forView();
    target.copyEncodingSettingsFrom(TIOParamsVals::forPage());
    EXPECT_EQ(target.dpiX, 300);
    EXPECT_EQ(target.dpiY, 300);
}

TEST(IoParams, ForcedExportValuesTouchOnlyTheTwoCompressions) {
    TIOParamsVals record = TIOParamsVals::forPage();
    record.jpegQuality = 33;
    record.dpiX = 150;
    TIOParamsVals expected = record;
    expected.tiffCompression = 7;
    expected.pdfCompression = 5;

    forceExportValues(record);
    EXPECT_EQ(record, expected);
}

}  // namespace
}  // namespace orvix
