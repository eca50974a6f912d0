#pragma once
// Binary netpbm files: P6 colour, P5 grey, P4 black and white.
#include "encoding/byte_sink.h"
#include "pages/image.h"

namespace orvix {

enum class PnmKind { Pixmap, Greymap, Bitmap };

// Grey is the Rec. 601 luma; a bitmap pixel is black when its grey is below 128.
// Throws Error for an empty image.
void writePnm(const Image& image, PnmKind kind, ByteSink& out);

}  // namespace orvix
