#pragma once
// The control's two JPEG writers. Each writes one complete JPEG stream
// (SOI to EOI) of an RGB image.
#include "encoding/byte_sink.h"
#include "encoding/io_params.h"
#include "pages/image.h"

namespace orvix {

// Driven by an encoding record: colour space, quality (baseline tables),
// density in dpi (0 reads as 300), DCT method, Huffman optimisation,
// smoothing, luma sampling, progression and the record's extra markers
// (APPn and COM; a kept APP14 is dropped, libjpeg writes its own).
// Throws Error for a record value outside its range or an empty image.
void encodeJpeg(const Image& image, const TIOParamsVals& params, ByteSink& out);

// The stand-alone writer: quality 90, YCbCr 4:2:0, baseline, and libjpeg's
// defaults for everything else (JFIF with density unit 0, 1 x 1).
void encodeStandaloneJpeg(const Image& image, ByteSink& out);

}  // namespace orvix
