#include <cmath>
#include <string>

#include "errors.h"
#include "pages/readers/format_readers.h"

namespace orvix::readers {

void fail(std::string_view format, std::string_view detail) {
    throw DecodeError(std::string(format) + " decode error: " + std::string(detail));
}

void checkDimensions(std::string_view format, long long width, long long height) {
    if (width <= 0 || height <= 0) fail(format, "image has no pixels");
    if (width > kMaxDimension || height > kMaxDimension)
        fail(format, "image is too large (" + std::to_string(width) + " x " + std::to_string(height) + ")");
    const auto bytes = static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) *
                       kBytesPerPixelLimit;
    if (bytes > kMaxPixelBytes)
        fail(format, "image is too large (" + std::to_string(width) + " x " + std::to_string(height) + ")");
}

void checkTotal(std::string_view format, std::size_t usedBytes, long long width, long long height) {
    const auto next = static_cast<unsigned long long>(width) * static_cast<unsigned long long>(height) * 3;
    if (usedBytes + next > kMaxTotalBytes) fail(format, "the images of this file are too large in total");
}

int roundedDpi(double perInch) {
    if (!std::isfinite(perInch) || perInch <= 0 || perInch > 1e6) return 0;
    return static_cast<int>(std::lround(perInch));
}

int dpiFromPixelsPerMetre(double perMetre) { return roundedDpi(perMetre * 0.0254); }

int dpiFromPixelsPerCentimetre(double perCm) { return roundedDpi(perCm * 2.54); }

std::uint8_t overWhite(std::uint8_t colour, std::uint8_t alpha) {
    const unsigned mixed = colour * alpha + 255u * (255u - alpha);
    return static_cast<std::uint8_t>((mixed + 127) / 255);
}

}  // namespace orvix::readers
