#include "ui/save_filter.h"

#include <array>

namespace orvix {
namespace {

constexpr std::array<FileFilterEntry, 15> kSaveEntries{{
    {"JPEG Bitmap (JPG)", "*.jpg"},
    {"CompuServe Bitmap (GIF)", "*.gif"},
    {"TIFF Bitmap (TIF)", "*.tif"},
    {"PaintBrush (PCX)", "*.pcx"},
    {"Portable Network Graphics (PNG)", "*.png"},
    {"Windows Bitmap (BMP)", "*.bmp"},
    {"OS/2 Bitmap (BMP)", "*.bmp"},
    {"Targa Bitmap (TGA)", "*.tga"},
    {"Portable PixMap (PXM)", "*.pxm"},
    {"Portable PixMap (PPM)", "*.ppm"},
    {"Portable GreyMap (PGM)", "*.pgm"},
    {"Portable Bitmap (PBM)", "*.pbm"},
    {"JPEG2000 (JP2)", "*.jp2"},
    {"JPEG2000 Code Stream (J2K)", "*.j2k"},
    {"Multipage PCX (DCX)", "*.dcx"},
}};

}  // namespace

std::span<const FileFilterEntry> saveImageFilterEntries() { return kSaveEntries; }
std::string saveImageFilter() { return joinFileFilter(saveImageFilterEntries()); }

}  // namespace orvix
