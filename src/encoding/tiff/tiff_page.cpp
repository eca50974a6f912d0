#include "encoding/tiff/tiff_page.h"

#include <algorithm>

#include "encoding/jpeg_encoder.h"
#include "encoding/tiff/tiff_block.h"
#include "encoding/tiff/tiff_directory.h"
#include "encoding/tiff/tiff_layout.h"
#include "encoding/tiff/tiff_rows.h"
#include "encoding/tiff/tiff_strips.h"
#include "errors.h"

namespace orvix::tiff {
namespace {

enum Tag : std::uint16_t {
    kNewSubfileType = 254,
    kImageWidth = 256,
    kImageLength = 257,
    kBitsPerSample = 258,
    kCompression = 259,
    kPhotometricInterpretation = 262,
    kDocumentName = 269,
    kImageDescription = 270,
    kStripOffsets = 273,
    kSamplesPerPixel = 277,
    kRowsPerStrip = 278,
    kStripByteCounts = 279,
    kXResolution = 282,
    kYResolution = 283,
    kPageName = 285,
    kXPosition = 286,
    kYPosition = 287,
    kResolutionUnit = 296,
    kPageNumber = 297,
    kPredictor = 317,
    kColorMap = 320,
    kJpegProc = 512,
    kJpegInterchangeFormat = 513,
    kJpegInterchangeFormatLength = 514,
    kYCbCrSubSampling = 530,
};

// RATIONAL is unsigned; a negative value has no meaning there.
std::uint32_t wholeNumber(std::int32_t v) { return v < 0 ? 0u : static_cast<std::uint32_t>(v); }

// Where the scan data starts: the first SOS marker, found by walking the segments.
std::size_t startOfScan(const std::vector<std::uint8_t>& jpeg, std::size_t from) {
    std::size_t i = from + 2;
    while (i + 4 <= jpeg.size()) {
        if (jpeg[i] != 0xFF) break;
        const std::uint8_t marker = jpeg[i + 1];
        if (marker == 0xFF) {
            ++i;
            continue;
        }
        if (marker == 0xDA) return i;
        i += 2 + ((std::size_t{jpeg[i + 2]} << 8) | jpeg[i + 3]);
    }
    throw Error("JPEG stream without a start of scan");
}

StripTable writeJpeg(TiffBlock& block, const Image& image, const TiffLayout& layout, TiffDirectory& ifd) {
    TIOParamsVals settings;
    settings.jpegQuality = layout.jpegQuality;
    settings.jpegColorSpace = layout.jpegColorSpace;
    const std::uint64_t start = block.position();
    const std::size_t localStart = block.bytes().size();
    if (layout.jpegOfBilevel)
        encodeJpeg(blackAndWhite(image), settings, block);
    else
        encodeJpeg(image, settings, block);
    const std::uint32_t length = toOffset(block.position() - start);

    StripTable table;
    table.rowsPerStrip = static_cast<std::uint32_t>(image.height());
    if (layout.compression == kJpeg) {
        table.offsets = {toOffset(start)};
        table.byteCounts = {length};
        return table;
    }
    // Old-style JPEG: the whole stream is the interchange format, the strip its scan.
    const std::size_t sos = startOfScan(block.bytes(), localStart);
    ifd.addLong(kJpegInterchangeFormat, toOffset(start));
    ifd.addLong(kJpegInterchangeFormatLength, length);
    ifd.addShort(kJpegProc, 1);
    const std::uint16_t subsampling[] = {2, 2};
    ifd.addShorts(kYCbCrSubSampling, subsampling);
    table.offsets = {toOffset(start + (sos - localStart))};
    table.byteCounts = {toOffset(length - (sos - localStart))};
    return table;
}

void addStripEntries(TiffDirectory& ifd, const StripTable& strips) {
    ifd.addLong(kRowsPerStrip, strips.rowsPerStrip);
    ifd.addLongs(kStripOffsets, strips.offsets);
    ifd.addLongs(kStripByteCounts, strips.byteCounts);
}

void addColorMap(TiffDirectory& ifd, const TiffLayout& layout) {
    const std::size_t n = std::size_t{1} << std::min(layout.indexBits, 8);
    const auto& colours = layout.palette->colours();
    // Readers expect 2^bits entries; unused ones stay black.
    std::vector<std::uint16_t> map(3 * n, 0);
    for (std::size_t i = 0; i < std::min(n, colours.size()); ++i) {
        map[i] = static_cast<std::uint16_t>(colours[i].r * 257);
        map[n + i] = static_cast<std::uint16_t>(colours[i].g * 257);
        map[2 * n + i] = static_cast<std::uint16_t>(colours[i].b * 257);
    }
    ifd.addShorts(kColorMap, map);
}

}  // namespace

EncodedPage encodeTiffPage(const Image& image, TIOParamsVals& record, std::uint64_t base, std::uint32_t nextOffset) {
    const TiffLayout layout = resolveTiffLayout(image, record);
    TiffBlock block(base);
    TiffDirectory ifd(block);

    if (!record.imageDescription.empty()) ifd.addAscii(kImageDescription, record.imageDescription);
    ifd.addRational(kXResolution, wholeNumber(record.dpiX), 1);
    ifd.addRational(kYResolution, wholeNumber(record.dpiY), 1);
    ifd.addShort(kResolutionUnit, 2);
    ifd.addLong(kImageWidth, static_cast<std::uint32_t>(image.width()));
    ifd.addLong(kImageLength, static_cast<std::uint32_t>(image.height()));
    ifd.addShorts(kBitsPerSample, layout.bitsPerSample);
    ifd.addShort(kCompression, layout.compression);
    ifd.addShort(kPhotometricInterpretation, layout.photometric);
    if (!record.documentName.empty()) ifd.addAscii(kDocumentName, record.documentName);

    StripTable strips;
    if (layout.compression == kJpeg || layout.compression == kOldJpeg) {
        strips = writeJpeg(block, image, layout, ifd);
    } else {
        RowConverter rows(image, layout);
        strips = layout.compression == kDeflate ? writeDeflateStrip(block, rows, layout.deflateLevel)
                                                : writeRowStrips(block, rows, layout.compression);
    }
    addStripEntries(ifd, strips);

    ifd.addShort(kSamplesPerPixel, layout.samplesPerPixel);
    if (layout.predictor) ifd.addShort(kPredictor, 2);
    if (!record.pageName.empty()) ifd.addAscii(kPageName, record.pageName);
    if (record.xPosition > 0) ifd.addRational(kXPosition, wholeNumber(record.xPosition), 1);
    if (record.yPosition > 0) ifd.addRational(kYPosition, wholeNumber(record.yPosition), 1);
    ifd.addLong(kNewSubfileType, 0);
    if (record.pageNumber >= 0 || record.pageTotal >= 0) {
        const std::uint16_t pages[] = {static_cast<std::uint16_t>(record.pageNumber),
                                       static_cast<std::uint16_t>(record.pageTotal)};
        ifd.addShorts(kPageNumber, pages);
    }
    if (layout.photometric == kPalette) addColorMap(ifd, layout);

    EncodedPage page;
    page.ifdOffset = ifd.write(nextOffset);
    page.bytes = std::move(block.bytes());
    return page;
}

}  // namespace orvix::tiff
