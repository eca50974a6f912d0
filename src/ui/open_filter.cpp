#include "ui/open_filter.h"

#include <array>

namespace orvix {
namespace {

#define ORVIX_GENERAL_PATTERNS                                                                   \
    "*.tif;*.gif;*.jpg;*.pcx;*.bmp;*.ico;*.cur;*.png;*.dcm;*.wmf;*.emf;*.tga;*.pxm;*.wbmp;*.jp2;" \
    "*.j2k;*.dcx;*.crw;*.psd;*.iev;*.lyr;*.all;*.wdp;*.avi;*.mpg;*.wmv"

// The first entry is the dialog's default.
constexpr std::array<FileFilterEntry, 28> kOpenEntries{{
    // "一般图像文件 (...)"
    {"\xd2\xbb\xb0\xe3\xcd\xbc\xcf\xf1\xce\xc4\xbc\xfe (" ORVIX_GENERAL_PATTERNS ")", ORVIX_GENERAL_PATTERNS},
    // "所有文件 (*.*)"
    {"\xcb\xf9\xd3\xd0\xce\xc4\xbc\xfe (*.*)", "*.*"},
    {"TIFF Bitmap (*.tif;*.tiff;*.fax;*.g3n;*.g3f;*.xif)", "*.tif;*.tiff;*.fax;*.g3n;*.g3f;*.xif"},
    {"CompuServe Bitmap (*.gif)", "*.gif"},
    {"JPEG Bitmap (*.jpg;*.jpeg;*.jpe;*.jif)", "*.jpg;*.jpeg;*.jpe;*.jif"},
    {"PaintBrush (*.pcx)", "*.pcx"},
    {"Windows Bitmap (*.bmp;*.dib;*.rle)", "*.bmp;*.dib;*.rle"},
    {"Windows Icon (*.ico)", "*.ico"},
    {"Windows Cursor (*.cur)", "*.cur"},
    {"Portable Network Graphics (*.png)", "*.png"},
    {"DICOM Bitmap (*.dcm;*.dic;*.dicom;*.v2)", "*.dcm;*.dic;*.dicom;*.v2"},
    {"Windows Metafile (*.wmf)", "*.wmf"},
    {"Enhanced Windows Metafile (*.emf)", "*.emf"},
    {"Targa Bitmap (*.tga;*.targa;*.vda;*.icb;*.vst;*.pix)", "*.tga;*.targa;*.vda;*.icb;*.vst;*.pix"},
    {"Portable Pixmap, GrayMap, BitMap (*.pxm;*.ppm;*.pgm;*.pbm)", "*.pxm;*.ppm;*.pgm;*.pbm"},
    {"Wireless Bitmap (*.wbmp)", "*.wbmp"},
    {"JPEG2000 (*.jp2)", "*.jp2"},
    {"JPEG2000 Code Stream (*.j2k;*.jpc;*.j2c)", "*.j2k;*.jpc;*.j2c"},
    {"Multipage PCX (*.dcx)", "*.dcx"},
    {"Camera RAW (*.crw;*.cr2;*.nef;*.raw;*.pef;*.raf;*.x3f;*.bay;*.orf;*.srf;*.mrw;*.dcr;*.sr2)",
     "*.crw;*.cr2;*.nef;*.raw;*.pef;*.raf;*.x3f;*.bay;*.orf;*.srf;*.mrw;*.dcr;*.sr2"},
    {"Photoshop PSD (*.psd)", "*.psd"},
    {"Vectorial objects (*.iev)", "*.iev"},
    {"Layers (*.lyr)", "*.lyr"},
    {"Layers and objects (*.all)", "*.all"},
    {"Microsoft HD Photo (*.wdp;*.hdp)", "*.wdp;*.hdp"},
    // "Windows视频 (*.avi)"
    {"Windows\xca\xd3\xc6\xb5 (*.avi)", "*.avi"},
    {"Mpeg (*.mpeg;*.mpg)", "*.mpeg;*.mpg"},
    {"Windows Media Video (*.wmv)", "*.wmv"},
}};

#undef ORVIX_GENERAL_PATTERNS

}  // namespace

std::span<const FileFilterEntry> openImageFilterEntries() { return kOpenEntries; }

std::string joinFileFilter(std::span<const FileFilterEntry> entries) {
    std::string out;
    for (const auto& e : entries) {
        if (!out.empty()) out += '|';
        out += e.description;
        out += '|';
        out += e.patterns;
    }
    return out;
}

std::string openImageFilter() { return joinFileFilter(openImageFilterEntries()); }

}  // namespace orvix
