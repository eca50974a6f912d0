#pragma once
// One page of a TIFF: its out-of-line values and image data, then its IFD.
#include <cstdint>
#include <vector>

#include "encoding/io_params.h"
#include "pages/image.h"

namespace orvix::tiff {

struct EncodedPage {
    // Ends with the IFD's 4-byte next pointer.
    std::vector<std::uint8_t> bytes;
    std::uint32_t ifdOffset = 0;
};

// The page as it will stand at document position `base`. The record is
// adjusted to the image first and keeps those changes.
EncodedPage encodeTiffPage(const Image& image, TIOParamsVals& record, std::uint64_t base, std::uint32_t nextOffset);

}  // namespace orvix::tiff
