// The frame's document exports: all pages as TIFF or PDF, one page as JPEG,
// each returned as Base64 text.
#include "encoding/base64.h"
#include "encoding/byte_sink.h"
#include "encoding/jpeg_encoder.h"
#include "encoding/pdf/pdf_writer.h"
#include "encoding/tiff/tiff_writer.h"
#include "pages/edit/resample.h"
#include "ui/frame.h"

namespace orvix {

std::string TmyOrvixCamFrame::allImageAsTIFFData() {
    PageStrip& strip = ImageEnMView1;
    if (strip.count() == 0) return {};
    setExportParams();
    // Each page is linked at its own position in the chain.
    for (int i = 0; i < strip.count(); ++i) strip.record(i).tiffImageIndex = i;
    VectorSink document;
    writeTiff(strip, document);
    return encodeBase64(document.bytes());
}

std::string TmyOrvixCamFrame::allImageAsPdfData() {
    PageStrip& strip = ImageEnMView1;
    if (strip.count() == 0) return {};
    setExportParams();
    // Encoded as written, so the document never exists as one buffer. The
    // reserve is sized for LZW on camera pages (about 60 % of the raw rows), not
    // for raw pages: a 32-bit host must not commit address space it never uses.
    // A larger document costs one copy of the text.
    std::size_t expected = 4096;
    for (int i = 0; i < strip.count(); ++i) expected += strip.image(i).byteSize() / 4 * 3 + 1024;
    Base64Sink document(expected);
    writePdf(strip, document);
    return document.finish();
}

std::string TmyOrvixCamFrame::getJpegDataById(int id) {
    const PageStrip& strip = ImageEnMView1;
    if (id < 0 || strip.count() == 0 || id >= strip.count()) return {};
    try {
        img2.image = strip.image(id);
        // Rotated or cropped pages are stretched back to the capture size on purpose.
        img2.image = resampleNearest(img2.image, selectedWidth, selectedHeight);
        VectorSink jpeg;
        encodeStandaloneJpeg(img2.image, jpeg);
        return encodeBase64(jpeg.bytes());
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace orvix
