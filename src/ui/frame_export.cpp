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
    VectorSink document;
    writePdf(strip, document);
    return encodeBase64(document.bytes());
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
