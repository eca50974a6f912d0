#include "encoding/save/png_writer.h"

#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

#include "errors.h"

namespace orvix {

void writePng(const Image& image, ByteSink& out) {
    if (image.empty()) throw Error("PNG: empty image");
    // The simplified API reports errors by result, so no longjmp crosses C++ frames.
    png_image png{};
    png.version = PNG_IMAGE_VERSION;
    png.width = static_cast<png_uint_32>(image.width());
    png.height = static_cast<png_uint_32>(image.height());
    png.format = PNG_FORMAT_RGB;
    const auto stride = static_cast<png_int_32>(image.stride());
    png_alloc_size_t size = 0;
    if (!png_image_write_to_memory(&png, nullptr, &size, 0, image.data(), stride, nullptr)) {
        const std::string why = png.message;
        png_image_free(&png);
        throw Error("PNG: " + why);
    }
    std::vector<std::uint8_t> bytes(size);
    if (!png_image_write_to_memory(&png, bytes.data(), &size, 0, image.data(), stride, nullptr)) {
        const std::string why = png.message;
        png_image_free(&png);
        throw Error("PNG: " + why);
    }
    bytes.resize(size);
    out.write(bytes);
}

}  // namespace orvix
