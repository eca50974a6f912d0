#pragma once
// Which writer a chosen file name asks for, by its extension (any case).
#include <string>
#include <string_view>

namespace orvix {

enum class MultiPageFormat { None, Tiff, Pdf, Gif };
enum class SingleImageFormat { None, Jpeg, Tiff, Pdf, Png, Bmp, Ppm, Pgm, Pbm, Gif };

// ".tif" for "C:\\a.b\\Scan.TIF"; "" when the last name has no dot.
std::string lowerExtension(std::string_view fileName);

// None for the formats not built here (DCX, PostScript, AVI, icon) and
// for every other extension: nothing is to be written then.
MultiPageFormat multiPageFormatFor(std::string_view fileName);
SingleImageFormat singleImageFormatFor(std::string_view fileName);

}  // namespace orvix
