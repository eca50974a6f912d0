// Format detection, dispatch to the per-format readers, and file loading.
#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <new>
#include <string>
#include <utility>

#include "errors.h"
#include "pages/image_readers.h"
#include "pages/readers/format_readers.h"

namespace orvix {
namespace {

// ASCII-only lowering: bytes of multibyte (GBK) characters stay untouched.
std::string asciiLower(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return out;
}

bool startsWith(std::span<const std::uint8_t> bytes, std::string_view magic) {
    return bytes.size() >= magic.size() && std::memcmp(bytes.data(), magic.data(), magic.size()) == 0;
}

bool isPnmMagic(std::span<const std::uint8_t> bytes) {
    if (bytes.size() < 2 || bytes[0] != 'P' || bytes[1] < '1' || bytes[1] > '6') return false;
    // A following byte, when present, must end the token: keeps "Photo..." text out.
    if (bytes.size() == 2) return true;
    const std::uint8_t next = bytes[2];
    return next == ' ' || next == '\t' || next == '\r' || next == '\n' || next == '\v' || next == '\f' ||
           next == '#';
}

std::vector<DecodedImage> decodeChecked(std::span<const std::uint8_t> bytes, ImageFormat format,
                                        std::size_t maxImages) {
    using namespace readers;
    switch (format) {
        case ImageFormat::Jpeg: return {decodeJpeg(bytes)};
        case ImageFormat::Png: return {decodePng(bytes)};
        case ImageFormat::Bmp: return {decodeBmp(bytes)};
        case ImageFormat::Pnm: return {decodePnm(bytes)};
        case ImageFormat::Tiff: return decodeTiff(bytes, maxImages);
        case ImageFormat::Gif: return decodeGif(bytes, maxImages);
        case ImageFormat::Unknown: break;
    }
    throw DecodeError("Unknown image format");
}

// Stream failures (a directory, an I/O error) surface as exceptions or bad state.
std::vector<std::uint8_t> readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw DecodeError("Cannot open image file '" + path + "'");
    std::vector<std::uint8_t> bytes;
    try {
        bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    } catch (const std::exception&) {
        throw DecodeError("Cannot read image file '" + path + "'");
    }
    if (in.bad()) throw DecodeError("Cannot read image file '" + path + "'");
    if (bytes.empty()) throw DecodeError("Image file '" + path + "' is empty");
    return bytes;
}

}  // namespace

ImageFormat formatFromExtension(std::string_view fileName) {
    const auto dot = fileName.rfind('.');
    if (dot == std::string_view::npos) return ImageFormat::Unknown;
    const std::string ext = asciiLower(fileName.substr(dot + 1));
    static constexpr std::pair<std::string_view, ImageFormat> kTable[] = {
        {"jpg", ImageFormat::Jpeg}, {"jpeg", ImageFormat::Jpeg}, {"jpe", ImageFormat::Jpeg},
        {"jif", ImageFormat::Jpeg}, {"png", ImageFormat::Png},   {"bmp", ImageFormat::Bmp},
        {"dib", ImageFormat::Bmp},  {"rle", ImageFormat::Bmp},   {"tif", ImageFormat::Tiff},
        {"tiff", ImageFormat::Tiff}, {"fax", ImageFormat::Tiff}, {"g3n", ImageFormat::Tiff},
        {"g3f", ImageFormat::Tiff}, {"xif", ImageFormat::Tiff},  {"gif", ImageFormat::Gif},
        {"pxm", ImageFormat::Pnm},  {"ppm", ImageFormat::Pnm},   {"pgm", ImageFormat::Pnm},
        {"pbm", ImageFormat::Pnm},  {"pnm", ImageFormat::Pnm},
    };
    for (const auto& [name, format] : kTable)
        if (name == ext) return format;
    return ImageFormat::Unknown;
}

ImageFormat sniffFormat(std::span<const std::uint8_t> bytes) {
    if (startsWith(bytes, "\xFF\xD8\xFF")) return ImageFormat::Jpeg;
    if (startsWith(bytes, "\x89PNG\r\n\x1A\n")) return ImageFormat::Png;
    if (startsWith(bytes, "GIF87a") || startsWith(bytes, "GIF89a")) return ImageFormat::Gif;
    if (startsWith(bytes, std::string_view("II*\0", 4)) || startsWith(bytes, std::string_view("MM\0*", 4)))
        return ImageFormat::Tiff;
    if (startsWith(bytes, "BM")) return ImageFormat::Bmp;
    if (isPnmMagic(bytes)) return ImageFormat::Pnm;
    return ImageFormat::Unknown;
}

std::vector<DecodedImage> decodeImages(std::span<const std::uint8_t> bytes, ImageFormat format, int maxImages) {
    if (format == ImageFormat::Unknown) throw DecodeError("Unknown image format");
    if (bytes.empty()) throw DecodeError("Empty image data");
    const std::size_t limit =
        maxImages <= 0 ? std::numeric_limits<std::size_t>::max() : static_cast<std::size_t>(maxImages);
    try {
        return decodeChecked(bytes, format, limit);
    } catch (const std::bad_alloc&) {
        throw DecodeError("Not enough memory to decode the image");
    }
}

std::vector<DecodedImage> decodeLeadingImages(std::span<const std::uint8_t> bytes, ImageFormat format) {
    using namespace readers;
    if (bytes.empty()) throw DecodeError("Empty image data");
    constexpr std::size_t kAll = std::numeric_limits<std::size_t>::max();
    try {
        if (format == ImageFormat::Tiff) return decodeTiff(bytes, kAll, OnBrokenImage::EndSeries);
        if (format == ImageFormat::Gif) return decodeGif(bytes, kAll, OnBrokenImage::EndSeries);
        return decodeChecked(bytes, format, 1);
    } catch (const std::bad_alloc&) {
        throw DecodeError("Not enough memory to decode the image");
    }
}

DecodedImage readImageFile(const std::string& path) {
    const std::vector<std::uint8_t> bytes = readWholeFile(path);
    // The leading bytes win over a wrong extension; the extension names headerless data.
    const ImageFormat sniffed = sniffFormat(bytes);
    const ImageFormat format = sniffed != ImageFormat::Unknown ? sniffed : formatFromExtension(path);
    if (format == ImageFormat::Unknown) throw DecodeError("Unknown image format: '" + path + "'");
    auto images = decodeImages(bytes, format, 1);
    if (images.empty()) throw DecodeError("No image in file '" + path + "'");
    return std::move(images.front());
}

}  // namespace orvix
