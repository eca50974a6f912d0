#pragma once
// The media subtypes the capture layer names, with the bits per pixel that a
// format change uses for the sample size (0 for compressed subtypes), and the
// analog video standard names. Portable: the binding converts GUIDs and flags.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace orvix {

// A GUID laid out as Windows lays it out, without depending on Windows.
struct SubtypeGuid {
    std::uint32_t data1 = 0;
    std::uint16_t data2 = 0;
    std::uint16_t data3 = 0;
    std::uint8_t data4[8] = {};
    friend bool operator==(const SubtypeGuid&, const SubtypeGuid&) = default;
};

struct VideoSubtype {
    const char* name;
    int bitsPerPixel;
    SubtypeGuid guid;
};

// The 36 entries in lookup order (CLPL first).
std::span<const VideoSubtype> videoSubtypes();

// The entry of that exact name; nullptr when there is none.
const VideoSubtype* findVideoSubtype(std::string_view name);
// The entry a format change uses: the named one, or the first (CLPL) for a
// name not in the table.
const VideoSubtype& subtypeForFormatChange(std::string_view name);
// The table name of a subtype GUID; "" when it is not in the table.
std::string videoSubtypeName(const SubtypeGuid& guid);

// The FOURCC-derived subtype: the four characters as the first 32 bits
// (little-endian), then -0000-0010-8000-00AA00389B71.
SubtypeGuid fourccSubtype(std::string_view fourcc);

// Sample size of a format change: bits x width x height / 8, toward zero.
std::int64_t formatSampleSize(int bitsPerPixel, int width, int height);

// Names of the analog video standard flags set in `flags` (DirectShow's
// AnalogVideoStandard bits), each followed by a blank, the whole trimmed.
std::string analogStandardNames(std::uint32_t flags);

}  // namespace orvix
