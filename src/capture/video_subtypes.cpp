#include "capture/video_subtypes.h"

#include <array>

namespace orvix {
namespace {

constexpr SubtypeGuid fourcc(char a, char b, char c, char d) {
    return {static_cast<std::uint32_t>(static_cast<unsigned char>(a)) |
                (static_cast<std::uint32_t>(static_cast<unsigned char>(b)) << 8) |
                (static_cast<std::uint32_t>(static_cast<unsigned char>(c)) << 16) |
                (static_cast<std::uint32_t>(static_cast<unsigned char>(d)) << 24),
            0x0000, 0x0010, {0x80, 0x00, 0x00, 0xaa, 0x00, 0x38, 0x9b, 0x71}};
}

// The uncompressed RGB family shares one GUID pattern in DirectShow.
constexpr SubtypeGuid rgb(std::uint32_t data1) {
    return {data1, 0x524f, 0x11ce, {0x9f, 0x53, 0x00, 0x20, 0xaf, 0x0b, 0xa7, 0x70}};
}

constexpr std::array<VideoSubtype, 36> kSubtypes{{
    {"CLPL", 12, fourcc('C', 'L', 'P', 'L')},
    {"YUYV", 16, fourcc('Y', 'U', 'Y', 'V')},
    {"IYUV", 12, fourcc('I', 'Y', 'U', 'V')},
    {"YVU9", 9, fourcc('Y', 'V', 'U', '9')},
    {"Y411", 12, fourcc('Y', '4', '1', '1')},
    {"Y41P", 12, fourcc('Y', '4', '1', 'P')},
    {"YUY2", 16, fourcc('Y', 'U', 'Y', '2')},
    {"YVYU", 16, fourcc('Y', 'V', 'Y', 'U')},
    {"UYVY", 16, fourcc('U', 'Y', 'V', 'Y')},
    {"Y211", 8, fourcc('Y', '2', '1', '1')},
    {"YV12", 12, fourcc('Y', 'V', '1', '2')},
    {"CLJR", 8, fourcc('C', 'L', 'J', 'R')},
    {"IF09", 9, fourcc('I', 'F', '0', '9')},
    {"CPLA", 0, fourcc('C', 'P', 'L', 'A')},
    {"MJPG", 0, fourcc('M', 'J', 'P', 'G')},
    {"TVMJ", 0, fourcc('T', 'V', 'M', 'J')},
    {"WAKE", 0, fourcc('W', 'A', 'K', 'E')},
    {"CFCC", 0, fourcc('C', 'F', 'C', 'C')},
    {"IJPG", 0, fourcc('I', 'J', 'P', 'G')},
    {"Plum", 0, fourcc('P', 'l', 'u', 'm')},
    {"DVCS", 0, fourcc('D', 'V', 'C', 'S')},
    {"DVSD", 0, fourcc('D', 'V', 'S', 'D')},
    {"MDVF", 0, fourcc('M', 'D', 'V', 'F')},
    {"RGB1", 1, rgb(0xe436eb78)},
    {"RGB4", 4, rgb(0xe436eb79)},
    {"RGB8", 8, rgb(0xe436eb7a)},
    {"RGB565", 16, rgb(0xe436eb7b)},
    {"RGB555", 16, rgb(0xe436eb7c)},
    {"RGB24", 24, rgb(0xe436eb7d)},
    {"RGB32", 32, rgb(0xe436eb7e)},
    {"ARGB1555", 16, {0x297c55af, 0xe209, 0x4cb3, {0xb7, 0x57, 0xc7, 0x6d, 0x6b, 0x9c, 0x88, 0xa8}}},
    {"ARGB4444", 16, {0x6e6415e6, 0x5c24, 0x425f, {0x93, 0xcd, 0x80, 0x10, 0x2b, 0x3d, 0x1c, 0xca}}},
    {"ARGB32", 32, {0x773c9ac0, 0x3274, 0x11d0, {0xb7, 0x24, 0x00, 0xaa, 0x00, 0x6c, 0x1a, 0x01}}},
    {"AYUV", 16, fourcc('A', 'Y', 'U', 'V')},
    {"AI44", 0, fourcc('A', 'I', '4', '4')},
    {"IA44", 0, fourcc('I', 'A', '4', '4')},
}};

struct StandardFlag {
    std::uint32_t bit;
    const char* name;
};

constexpr StandardFlag kStandards[] = {
    {0x00000001, "NTSC_M"},   {0x00000002, "NTSC_M_J"}, {0x00000004, "NTSC_433"},
    {0x00000010, "PAL_B"},    {0x00000020, "PAL_D"},    {0x00000040, "PAL_G"},
    {0x00000080, "PAL_H"},    {0x00000100, "PAL_I"},    {0x00000200, "PAL_M"},
    {0x00000400, "PAL_N"},    {0x00000800, "PAL_60"},   {0x00001000, "SECAM_B"},
    {0x00002000, "SECAM_D"},  {0x00004000, "SECAM_G"},  {0x00008000, "SECAM_H"},
    {0x00010000, "SECAM_K"},  {0x00020000, "SECAM_K1"}, {0x00040000, "SECAM_L"},
    {0x00080000, "SECAM_L1"}, {0x00100000, "PAL_N_COMBO"},
};

}  // namespace

std::span<const VideoSubtype> videoSubtypes() { return kSubtypes; }

const VideoSubtype* findVideoSubtype(std::string_view name) {
    for (const VideoSubtype& s : kSubtypes) {
        if (name == s.name) return &s;
    }
    return nullptr;
}

const VideoSubtype& subtypeForFormatChange(std::string_view name) {
    const VideoSubtype* s = findVideoSubtype(name);
    return s ? *s : kSubtypes.front();
}

std::string videoSubtypeName(const SubtypeGuid& guid) {
    for (const VideoSubtype& s : kSubtypes) {
        if (s.guid == guid) return s.name;
    }
    return {};
}

SubtypeGuid fourccSubtype(std::string_view code) {
    char c[4] = {' ', ' ', ' ', ' '};
    for (std::size_t i = 0; i < 4 && i < code.size(); ++i) c[i] = code[i];
    return fourcc(c[0], c[1], c[2], c[3]);
}

std::int64_t formatSampleSize(int bitsPerPixel, int width, int height) {
    return static_cast<std::int64_t>(bitsPerPixel) * width * height / 8;
}

std::string analogStandardNames(std::uint32_t flags) {
    std::string names;
    for (const StandardFlag& f : kStandards) {
        if (flags & f.bit) {
            names += f.name;
            names += ' ';
        }
    }
    if (!names.empty()) names.pop_back();
    return names;
}

}  // namespace orvix
