#include "encoding/io_params.h"

namespace orvix {

TIOParamsVals TIOParamsVals::forView() {
    TIOParamsVals r;
    r.dpiX = 300;
    r.dpiY = 300;
    return r;
}

TIOParamsVals TIOParamsVals::forPage() { return TIOParamsVals{}; }

void TIOParamsVals::copyEncodingSettingsFrom(const TIOParamsVals& o) {
    bitsPerSample = o.bitsPerSample;
    samplesPerPixel = o.samplesPerPixel;
    tiffCompression = o.tiffCompression;
    tiffPhotometric = o.tiffPhotometric;
    tiffJpegQuality = o.tiffJpegQuality;
    tiffJpegColorSpace = o.tiffJpegColorSpace;
    tiffFillOrder = o.tiffFillOrder;
    tiffDeflateLevel = o.tiffDeflateLevel;
    lzwEncoder = o.lzwEncoder;
    jpegColorSpace = o.jpegColorSpace;
    jpegQuality = o.jpegQuality;
    jpegDctMethod = o.jpegDctMethod;
    jpegSubsampling = o.jpegSubsampling;
    jpegOptimize = o.jpegOptimize;
    jpegSmoothing = o.jpegSmoothing;
    jpegProgressive = o.jpegProgressive;
    pdfCompression = o.pdfCompression;
}

void forceExportValues(TIOParamsVals& record) {
    // Uploads and exports always write JPEG-in-TIFF and LZW PDF pages.
    record.tiffCompression = kTiffCompressionJpeg;
    record.pdfCompression = kPdfCompressionLzw;
}

}  // namespace orvix
