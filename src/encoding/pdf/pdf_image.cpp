#include "encoding/pdf/pdf_image.h"

#include <span>

#include "encoding/byte_sink.h"
#include "encoding/jpeg_encoder.h"
#include "encoding/lzw_encoder.h"
#include "encoding/pdf/run_length.h"

namespace orvix::pdf {

namespace {

constexpr std::uint8_t kRunLength = 1;
constexpr std::uint8_t kDct = 4;
constexpr std::uint8_t kJpegGrey = 1;
constexpr std::uint8_t kJpegCmyk = 3;
constexpr std::uint8_t kJpegYcck = 4;

// Row by row, so only one row is ever copied out of the image.
template <class RowOf>
std::vector<std::uint8_t> lzwRows(int height, std::size_t stride, RowOf rowOf) {
    VectorSink sink;
    // The plain rows' size: what most images need at most; untouched pages are free.
    sink.reserve(static_cast<std::size_t>(height) * stride + stride / 2 + 64);
    LzwEncoder lzw(sink);
    for (int y = 0; y < height; ++y) lzw.encode(std::span(rowOf(y), stride));
    lzw.finish();
    return sink.take();
}

// Type and Subtype lead, Width and Height close the dictionary.
void frame(Dictionary& dict, int width, int height) {
    dict.prepend("Subtype", name("Image"));
    dict.prepend("Type", name("XObject"));
    dict.set("Width", Object(width));
    dict.set("Height", Object(height));
}

const char* dctColorSpace(std::uint8_t jpegColorSpace) {
    if (jpegColorSpace == kJpegGrey) return "DeviceGray";
    // Four components would not match an RGB colour space.
    if (jpegColorSpace == kJpegCmyk || jpegColorSpace == kJpegYcck) return "DeviceCMYK";
    return "DeviceRGB";
}

}  // namespace

Stream makeImageStream(const Image& image, const TIOParamsVals& record) {
    Stream s;
    switch (record.pdfCompression) {
        case kPdfCompressionLzw:
            s.data = lzwRows(image.height(), image.stride(), [&](int y) { return image.row(y); });
            s.dict.set("Filter", name("LZWDecode"));
            s.dict.set("ColorSpace", name("DeviceRGB"));
            break;
        case kDct: {
            VectorSink sink;
            encodeJpeg(image, record, sink);
            s.data = sink.take();
            s.dict.set("Filter", name("DCTDecode"));
            s.dict.set("ColorSpace", name(dctColorSpace(record.jpegColorSpace)));
            break;
        }
        default:
            s.data.assign(image.data(), image.data() + image.byteSize());
            s.dict.set("ColorSpace", name("DeviceRGB"));
    }
    s.dict.set("BitsPerComponent", Object(8));
    frame(s.dict, image.width(), image.height());
    return s;
}

Stream makeImageStream(const BilevelImage& image, const TIOParamsVals& record) {
    Stream s;
    const auto& rows = image.bytes();
    switch (record.pdfCompression) {
        case kPdfCompressionLzw:
            s.data = lzwRows(image.height(), image.stride(),
                             [&](int y) { return rows.data() + image.stride() * static_cast<std::size_t>(y); });
            s.dict.set("Filter", name("LZWDecode"));
            break;
        case kRunLength:
            s.data = runLengthEncode(rows);
            s.dict.set("Filter", Array{{name("RunLengthDecode")}});
            break;
        default:
            // The CCITT values included: without a fax coder the rows go plain.
            s.data = rows;
    }
    s.dict.set("ColorSpace", name("DeviceGray"));
    s.dict.set("BitsPerComponent", Object(1));
    frame(s.dict, image.width(), image.height());
    return s;
}

}  // namespace orvix::pdf
