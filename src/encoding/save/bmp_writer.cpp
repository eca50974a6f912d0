#include "encoding/save/bmp_writer.h"

#include <cstdint>
#include <limits>
#include <vector>

#include "errors.h"

namespace orvix {
namespace {

void put16(std::vector<std::uint8_t>& b, std::uint32_t v) {
    b.push_back(static_cast<std::uint8_t>(v));
    b.push_back(static_cast<std::uint8_t>(v >> 8));
}
void put32(std::vector<std::uint8_t>& b, std::uint32_t v) {
    put16(b, v & 0xffff);
    put16(b, v >> 16);
}
std::uint32_t pixelsPerMetre(int dpi) { return dpi > 0 ? static_cast<std::uint32_t>(dpi * 10000 / 254) : 0; }

}  // namespace

void writeBmp(const Image& image, ByteSink& out, int dpiX, int dpiY) {
    if (image.empty()) throw Error("BMP: empty image");
    const std::uint64_t rowBytes = (static_cast<std::uint64_t>(image.width()) * 3 + 3) & ~std::uint64_t{3};
    const std::uint64_t dataBytes = rowBytes * static_cast<std::uint64_t>(image.height());
    if (dataBytes + 54 > std::numeric_limits<std::uint32_t>::max()) throw Error("BMP: image too large");
    std::vector<std::uint8_t> head;
    head.push_back('B');
    head.push_back('M');
    put32(head, static_cast<std::uint32_t>(54 + dataBytes));
    put32(head, 0);
    put32(head, 54);
    put32(head, 40);
    put32(head, static_cast<std::uint32_t>(image.width()));
    put32(head, static_cast<std::uint32_t>(image.height()));  // positive: bottom-up
    put16(head, 1);
    put16(head, 24);
    put32(head, 0);  // BI_RGB
    put32(head, static_cast<std::uint32_t>(dataBytes));
    put32(head, pixelsPerMetre(dpiX));
    put32(head, pixelsPerMetre(dpiY));
    put32(head, 0);
    put32(head, 0);
    out.write(head);
    std::vector<std::uint8_t> row(rowBytes, 0);
    for (int y = image.height() - 1; y >= 0; --y) {
        const std::uint8_t* src = image.row(y);
        for (int x = 0; x < image.width(); ++x) {
            row[3 * x] = src[3 * x + 2];
            row[3 * x + 1] = src[3 * x + 1];
            row[3 * x + 2] = src[3 * x];
        }
        out.write(row);
    }
}

}  // namespace orvix
