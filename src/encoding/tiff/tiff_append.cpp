#include <unordered_set>

#include "encoding/tiff/tiff_block.h"
#include "encoding/tiff/tiff_page.h"
#include "encoding/tiff/tiff_writer.h"

namespace orvix {
namespace {

std::uint32_t readLe32(const std::vector<std::uint8_t>& f, std::uint64_t at) {
    if (at + 4 > f.size()) throw TiffFormatError("TIFF IFD chain points past the end of the file");
    return std::uint32_t{f[at]} | std::uint32_t{f[at + 1]} << 8 | std::uint32_t{f[at + 2]} << 16 |
           std::uint32_t{f[at + 3]} << 24;
}

std::uint16_t readLe16(const std::vector<std::uint8_t>& f, std::uint64_t at) {
    if (at + 2 > f.size()) throw TiffFormatError("TIFF IFD chain points past the end of the file");
    return static_cast<std::uint16_t>(f[at] | f[at + 1] << 8);
}

struct Link {
    std::uint64_t pointerAt = 4;
    std::uint32_t oldNext = 0;
    int pageCount = 0;
};

// Walks the IFD chain to the pointer that page `index` is linked at.
Link findLink(const std::vector<std::uint8_t>& f, std::int32_t index) {
    if (f.size() < 8 || f[0] != 'I' || f[1] != 'I') throw TiffFormatError("Not a little-endian TIFF");
    if (readLe16(f, 2) != 42) throw TiffFormatError("Not a TIFF file");
    Link link;
    bool found = false;
    std::uint64_t at = 4;
    std::int32_t i = 0;
    std::unordered_set<std::uint32_t> visited;
    for (;;) {
        const std::uint32_t next = readLe32(f, at);
        if (i == index || (next == 0 && (i < index || index < 0) && !found)) {
            link.pointerAt = at;
            link.oldNext = next;
            found = true;
        }
        if (next == 0) break;
        if (!visited.insert(next).second) throw TiffFormatError("TIFF IFD chain loops");
        at = std::uint64_t{next} + 2 + 12ull * readLe16(f, next);
        ++i;
    }
    link.pageCount = i + 1;
    return link;
}

}  // namespace

int appendTiffPage(std::vector<std::uint8_t>& file, const Image& image, TIOParamsVals& record) {
    const Link link = findLink(file, record.tiffImageIndex);
    tiff::EncodedPage page = tiff::encodeTiffPage(image, record, file.size(), link.oldNext);
    file.insert(file.end(), page.bytes.begin(), page.bytes.end());
    tiff::storeLe32(file.data() + link.pointerAt, page.ifdOffset);
    return link.pageCount;
}

}  // namespace orvix
