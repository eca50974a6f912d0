#pragma once
// Decoding of local and fetched image files into Images.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "pages/image.h"

namespace orvix {

enum class ImageFormat { Unknown, Jpeg, Png, Bmp, Tiff, Gif, Pnm };

// What a file says about itself besides its pixels; fills a view's encoding record.
struct DecodedImage {
    Image image;
    int bitsPerSample = 8;
    int samplesPerPixel = 3;
    int dpiX = 0;  // 0: the file gives no resolution
    int dpiY = 0;
    bool progressive = false;  // JPEG only
};

// By the file name's extension, case-insensitive; Unknown for anything else.
ImageFormat formatFromExtension(std::string_view fileName);
// By the leading bytes (magic numbers); Unknown when nothing matches.
ImageFormat sniffFormat(std::span<const std::uint8_t> bytes);

// Decodes up to maxImages images (pages of a TIFF, frames of a GIF; every other
// format has one). Throws DecodeError on anything it cannot decode.
std::vector<DecodedImage> decodeImages(std::span<const std::uint8_t> bytes, ImageFormat format,
                                       int maxImages);

// Every page of a TIFF or every frame of a GIF, in order, up to the first one
// that fails to decode: those before it are kept. Other formats give their
// one image. Throws DecodeError when not even the first image decodes.
std::vector<DecodedImage> decodeLeadingImages(std::span<const std::uint8_t> bytes, ImageFormat format);

// Reads one image from a local file, the decoder chosen by extension.
// Throws DecodeError when the file cannot be read or decoded.
DecodedImage readImageFile(const std::string& path);

}  // namespace orvix
