#include "encoding/save/save_formats.h"

#include <algorithm>
#include <array>
#include <utility>

namespace orvix {
namespace {

template <typename Format, std::size_t N>
Format lookup(const std::array<std::pair<std::string_view, Format>, N>& table, std::string_view fileName) {
    const std::string ext = lowerExtension(fileName);
    for (const auto& [e, f] : table)
        if (e == ext) return f;
    return Format::None;
}

constexpr std::array<std::pair<std::string_view, MultiPageFormat>, 7> kMulti{{
    {".tif", MultiPageFormat::Tiff}, {".tiff", MultiPageFormat::Tiff}, {".fax", MultiPageFormat::Tiff},
    {".g3f", MultiPageFormat::Tiff}, {".g3n", MultiPageFormat::Tiff}, {".pdf", MultiPageFormat::Pdf},
    {".gif", MultiPageFormat::Gif},
}};

constexpr std::array<std::pair<std::string_view, SingleImageFormat>, 18> kSingle{{
    {".jpg", SingleImageFormat::Jpeg}, {".jpeg", SingleImageFormat::Jpeg}, {".jpe", SingleImageFormat::Jpeg},
    {".jif", SingleImageFormat::Jpeg}, {".tif", SingleImageFormat::Tiff}, {".tiff", SingleImageFormat::Tiff},
    {".fax", SingleImageFormat::Tiff}, {".g3f", SingleImageFormat::Tiff}, {".g3n", SingleImageFormat::Tiff},
    {".pdf", SingleImageFormat::Pdf},  {".png", SingleImageFormat::Png},   {".bmp", SingleImageFormat::Bmp},
    {".ppm", SingleImageFormat::Ppm},  {".pxm", SingleImageFormat::Ppm},   {".pgm", SingleImageFormat::Pgm},
    {".pbm", SingleImageFormat::Pbm},  {".dib", SingleImageFormat::Bmp},   {".gif", SingleImageFormat::Gif},
}};

}  // namespace

std::string lowerExtension(std::string_view fileName) {
    const auto slash = fileName.find_last_of("\\/");
    const std::string_view last = slash == std::string_view::npos ? fileName : fileName.substr(slash + 1);
    const auto dot = last.rfind('.');
    if (dot == std::string_view::npos) return {};
    std::string ext(last.substr(dot));
    std::transform(ext.begin(), ext.end(), ext.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return ext;
}

MultiPageFormat multiPageFormatFor(std::string_view fileName) { return lookup(kMulti, fileName); }
SingleImageFormat singleImageFormatFor(std::string_view fileName) { return lookup(kSingle, fileName); }

}  // namespace orvix
