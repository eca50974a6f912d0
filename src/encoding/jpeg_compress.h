#pragma once
// One libjpeg compression of an Image into a ByteSink. libjpeg's errors and
// the sink's exceptions come out as C++ exceptions; nothing unwinds through
// libjpeg's C frames.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include <jpeglib.h>

#include "encoding/byte_sink.h"
#include "pages/image.h"

namespace orvix::jpeg {

// The samples libjpeg is fed: the image's RGB, or CMYK made from it.
enum class Input { Rgb, Cmyk };

// The caller's part of the set-up. Both hooks run inside libjpeg's error
// guard: they may call libjpeg, but must not throw or own resources.
struct Setup {
    const void* context = nullptr;
    // After jpeg_set_defaults, before jpeg_start_compress.
    void (*configure)(jpeg_compress_struct& cinfo, const void* context) = nullptr;
    // After jpeg_start_compress, before the first scan line.
    void (*afterStart)(jpeg_compress_struct& cinfo, const void* context) = nullptr;
};

void compress(const Image& image, Input input, const Setup& setup, ByteSink& out);

// RGB to CMYK by full under-colour removal, stored inverted as Adobe's JPEGs
// carry it (255 is no ink), so readers that assume Adobe's convention see the
// right colours.
void rgbToAdobeCmyk(const std::uint8_t* rgb, std::uint8_t* cmyk, std::size_t pixels);

}  // namespace orvix::jpeg
