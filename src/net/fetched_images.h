#pragma once
// What a fetched document gives as images: recognised from its leading bytes,
// else by the extension its type hint makes.
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "net/url_fetcher.h"
#include "pages/image_readers.h"

namespace orvix::net {

// TIFF and GIF data give every page or frame up to the first broken one.
// Anything else loads as a file named "<temp>.tmp.<type hint>" would: an
// extension of a format this control reads gives its image(s) (every page or
// frame for the TIFF and GIF extensions, one otherwise); any other extension,
// an empty hint, or data the reader rejects give none. So a JPEG served as
// "image/jpeg" loads, the same bytes as "application/octet-stream" do not.
std::vector<DecodedImage> fetchedPages(const Fetched& fetched);

// The first image of data recognised from their leading bytes; nullopt for
// data that are no image this control decodes.
std::optional<DecodedImage> fetchedPicture(std::span<const std::uint8_t> data);

}  // namespace orvix::net
