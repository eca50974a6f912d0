#pragma once
// The per-format decoders behind decodeImages and the limits they share.
// bitsPerSample/samplesPerPixel describe the file, not the RGB result: palette
// images (PNG, BMP, GIF, TIFF) report the index depth and one sample; alpha
// counts as a sample (8/4 for RGBA) and is composited over white.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

#include "pages/image_readers.h"

namespace orvix::readers {

using Bytes = std::span<const std::uint8_t>;

// Single-image formats.
DecodedImage decodeJpeg(Bytes bytes);
DecodedImage decodePng(Bytes bytes);
DecodedImage decodeBmp(Bytes bytes);
DecodedImage decodePnm(Bytes bytes);
// What a broken page or frame after good ones does: fail the whole file, or
// end the series there with the good ones. A broken first one always fails.
enum class OnBrokenImage { Fail, EndSeries };
// Multi-image formats: at most maxImages (>= 1) images.
std::vector<DecodedImage> decodeTiff(Bytes bytes, std::size_t maxImages,
                                     OnBrokenImage onBroken = OnBrokenImage::Fail);
std::vector<DecodedImage> decodeGif(Bytes bytes, std::size_t maxImages,
                                    OnBrokenImage onBroken = OnBrokenImage::Fail);

inline constexpr long long kMaxDimension = 65535;
// The largest intermediate a reader keeps is 4 bytes a pixel (RGBA rasters).
inline constexpr std::size_t kMaxPixelBytes = std::size_t{512} << 20;
inline constexpr std::size_t kBytesPerPixelLimit = 4;
// Bounds what one file may expand to across all its pages or frames.
inline constexpr std::size_t kMaxTotalBytes = std::size_t{1} << 30;

[[noreturn]] void fail(std::string_view format, std::string_view detail);
// Throws unless 1..kMaxDimension on each side and within kMaxPixelBytes.
void checkDimensions(std::string_view format, long long width, long long height);
// Throws when adding a width x height RGB image would pass kMaxTotalBytes.
void checkTotal(std::string_view format, std::size_t usedBytes, long long width, long long height);

int dpiFromPixelsPerMetre(double perMetre);
int dpiFromPixelsPerCentimetre(double perCm);
int roundedDpi(double perInch);
// Composites a straight (non-premultiplied) colour over white.
std::uint8_t overWhite(std::uint8_t colour, std::uint8_t alpha);

}  // namespace orvix::readers
