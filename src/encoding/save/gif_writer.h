#pragma once
// GIF89a files through giflib: one frame per image, each at the top left of
// a screen as large as the largest frame.
#include <span>

#include "encoding/byte_sink.h"
#include "pages/image.h"

namespace orvix {

// A frame with at most 256 colours keeps them exactly; others are reduced
// to a fixed 3-3-2 palette. Throws Error for no frames, an empty frame or a
// giflib failure.
void writeGif(std::span<const Image> frames, ByteSink& out);

}  // namespace orvix
