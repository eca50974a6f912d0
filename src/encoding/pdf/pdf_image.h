#pragma once
// The image XObject of one page, encoded as the page's record asks.
#include "encoding/io_params.h"
#include "encoding/pdf/bilevel_image.h"
#include "encoding/pdf/pdf_object.h"
#include "pages/image.h"

namespace orvix::pdf {

// pdfCompression 5 LZW, 4 DCT (the record's JPEG settings), anything else
// the plain rows.
Stream makeImageStream(const Image& image, const TIOParamsVals& record);
// pdfCompression 5 LZW, 1 run-length, anything else the plain rows.
Stream makeImageStream(const BilevelImage& image, const TIOParamsVals& record);

}  // namespace orvix::pdf
