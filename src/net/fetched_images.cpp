#include "net/fetched_images.h"

#include <string>
#include <utility>

#include "errors.h"

namespace orvix::net {
namespace {

bool isSeries(ImageFormat format) { return format == ImageFormat::Tiff || format == ImageFormat::Gif; }

// The fallback: the data decoded as a local file with the hint as its
// extension would be, without the detour through the disk.
std::vector<DecodedImage> byTypeHint(std::span<const std::uint8_t> data, std::string_view typeHint) {
    const ImageFormat named = formatFromExtension("ietemp.tmp." + std::string(typeHint));
    if (named == ImageFormat::Unknown) return {};
    // As for local files, the leading bytes win over the name.
    const ImageFormat sniffed = sniffFormat(data);
    const ImageFormat format = sniffed != ImageFormat::Unknown ? sniffed : named;
    std::vector<DecodedImage> images = decodeLeadingImages(data, format);
    if (!isSeries(named) && images.size() > 1) images.resize(1);
    return images;
}

}  // namespace

std::vector<DecodedImage> fetchedPages(const Fetched& fetched) {
    if (fetched.data.empty()) return {};
    try {
        const ImageFormat format = sniffFormat(fetched.data);
        if (isSeries(format)) return decodeLeadingImages(fetched.data, format);
        return byTypeHint(fetched.data, fetched.typeHint);
    } catch (const DecodeError&) {
        return {};
    }
}

std::optional<DecodedImage> fetchedPicture(std::span<const std::uint8_t> data) {
    const ImageFormat format = sniffFormat(data);
    if (format == ImageFormat::Unknown || data.empty()) return std::nullopt;
    try {
        auto images = decodeImages(data, format, 1);
        if (images.empty()) return std::nullopt;
        return std::move(images.front());
    } catch (const DecodeError&) {
        return std::nullopt;
    }
}

}  // namespace orvix::net
