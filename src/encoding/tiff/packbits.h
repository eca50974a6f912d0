#pragma once
// PackBits, one row at a time: runs of 4 to 128 equal bytes as runs, all
// else (runs of 2 or 3 included) in literal groups of up to 128 bytes.
#include <cstdint>
#include <span>
#include <vector>

namespace orvix::tiff {

// Appends the coded row to out.
void packBitsRow(std::span<const std::uint8_t> row, std::vector<std::uint8_t>& out);

}  // namespace orvix::tiff
