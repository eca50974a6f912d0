#pragma once
// Windows bitmaps: 24-bit, uncompressed, bottom-up.
#include "encoding/byte_sink.h"
#include "pages/image.h"

namespace orvix {

// dpi 0 leaves the resolution unset. Throws Error for an empty image.
void writeBmp(const Image& image, ByteSink& out, int dpiX = 0, int dpiY = 0);

}  // namespace orvix
