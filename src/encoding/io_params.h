#pragma once
// The encoding record every page and every view carries: what the TIFF, PDF
// and JPEG writers are told to do with the image.
#include <cstdint>
#include <string>
#include <vector>

namespace orvix {

// The LZW coders a record can name; this control has exactly one.
enum class LzwEncoderId { Standard };

// An extra JPEG marker kept from a source file (APPn, COM, ...).
struct JpegMarker {
    std::uint8_t code = 0;
    std::vector<std::uint8_t> bytes;
    friend bool operator==(const JpegMarker&, const JpegMarker&) = default;
};

// Values of tiffCompression and pdfCompression that the control forces.
inline constexpr std::uint8_t kTiffCompressionLzw = 5;
inline constexpr std::uint8_t kTiffCompressionJpeg = 7;
inline constexpr std::uint8_t kPdfCompressionLzw = 5;

struct TIOParamsVals {
    std::int32_t bitsPerSample = 8;
    std::int32_t samplesPerPixel = 3;
    std::int32_t dpiX = 0;  // 0: not set
    std::int32_t dpiY = 0;

    std::uint8_t tiffCompression = 0;
    std::uint8_t tiffPhotometric = 2;
    std::int32_t tiffImageIndex = 0;
    std::int32_t tiffJpegQuality = 80;
    std::uint8_t tiffJpegColorSpace = 2;
    std::int32_t tiffFillOrder = 1;
    std::int32_t tiffDeflateLevel = 1;
    LzwEncoderId lzwEncoder = LzwEncoderId::Standard;
    std::string documentName;
    std::string imageDescription;
    std::string pageName;
    std::int32_t xPosition = 0;  // 0: not written
    std::int32_t yPosition = 0;
    std::int32_t pageNumber = -1;  // -1: not written
    std::int32_t pageTotal = -1;

    std::uint8_t jpegColorSpace = 2;
    std::int32_t jpegQuality = 80;
    std::uint8_t jpegDctMethod = 0;
    std::uint8_t jpegSubsampling = 1;
    bool jpegOptimize = false;
    std::int32_t jpegSmoothing = 0;
    bool jpegProgressive = false;
    std::vector<JpegMarker> jpegMarkers;

    std::int32_t pdfPaperWidth = 595;  // A4 portrait, in points
    std::int32_t pdfPaperHeight = 842;
    std::uint8_t pdfCompression = 2;
    std::string pdfTitle;
    std::string pdfAuthor;
    std::string pdfSubject;
    std::string pdfKeywords;
    std::string pdfCreator;
    std::string pdfProducer;

    // A view's record assumes 300 dpi; a page's leaves the resolution unset.
    static TIOParamsVals forView();
    static TIOParamsVals forPage();

    // Takes the compression, sample layout and JPEG settings of another record;
    // resolution, texts, numbering, markers and paper size stay as they are.
    void copyEncodingSettingsFrom(const TIOParamsVals& other);

    friend bool operator==(const TIOParamsVals&, const TIOParamsVals&) = default;
};

// What every page's record must say before pages are exported.
void forceExportValues(TIOParamsVals& record);

}  // namespace orvix
