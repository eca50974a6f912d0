#pragma once
// PNG files through libpng: 8-bit RGB.
#include "encoding/byte_sink.h"
#include "pages/image.h"

namespace orvix {

// Throws Error for an empty image or when libpng refuses it.
void writePng(const Image& image, ByteSink& out);

}  // namespace orvix
