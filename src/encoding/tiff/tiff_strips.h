#pragma once
// The image data of a page: rows cut into strips, each strip coded on its
// own (none, LZW, PackBits), or the whole image as one Deflate strip.
#include <cstdint>
#include <vector>

#include "encoding/tiff/tiff_block.h"
#include "encoding/tiff/tiff_layout.h"
#include "encoding/tiff/tiff_rows.h"

namespace orvix::tiff {

struct StripTable {
    std::uint32_t rowsPerStrip = 0;
    std::vector<std::uint32_t> offsets;
    std::vector<std::uint32_t> byteCounts;
};

// About 512 KiB of image memory per strip, at least one row.
std::uint32_t rowsPerStrip(std::uint64_t height, std::uint64_t memoryRowLength);

StripTable writeRowStrips(TiffBlock& block, RowConverter& rows, std::uint16_t compression);
StripTable writeDeflateStrip(TiffBlock& block, RowConverter& rows, std::int32_t effort);

}  // namespace orvix::tiff
