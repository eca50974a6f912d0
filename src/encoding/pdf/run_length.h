#pragma once
// The RunLengthDecode format: runs of 2 to 128 equal bytes as (257 - n, byte),
// everything else as literal groups of up to 128 bytes (n - 1, bytes), then
// the end marker 128.
#include <cstdint>
#include <span>
#include <vector>

namespace orvix::pdf {

std::vector<std::uint8_t> runLengthEncode(std::span<const std::uint8_t> data);

}  // namespace orvix::pdf
