#include "encoding/save/pnm_writer.h"

#include <cstdint>
#include <string>
#include <vector>

#include "errors.h"

namespace orvix {
namespace {

std::uint8_t grey(const std::uint8_t* p) {
    return static_cast<std::uint8_t>((299 * p[0] + 587 * p[1] + 114 * p[2] + 500) / 1000);
}

}  // namespace

void writePnm(const Image& image, PnmKind kind, ByteSink& out) {
    if (image.empty()) throw Error("PNM: empty image");
    const char* magic = kind == PnmKind::Pixmap ? "P6" : kind == PnmKind::Greymap ? "P5" : "P4";
    std::string head = std::string(magic) + "\n" + std::to_string(image.width()) + " " +
                       std::to_string(image.height()) + "\n";
    if (kind != PnmKind::Bitmap) head += "255\n";
    out.write({reinterpret_cast<const std::uint8_t*>(head.data()), head.size()});
    const int w = image.width();
    std::vector<std::uint8_t> row;
    for (int y = 0; y < image.height(); ++y) {
        const std::uint8_t* src = image.row(y);
        switch (kind) {
            case PnmKind::Pixmap:
                out.write({src, image.stride()});
                continue;
            case PnmKind::Greymap:
                row.assign(static_cast<std::size_t>(w), 0);
                for (int x = 0; x < w; ++x) row[x] = grey(src + 3 * x);
                break;
            case PnmKind::Bitmap:
                row.assign(static_cast<std::size_t>((w + 7) / 8), 0);
                for (int x = 0; x < w; ++x)
                    if (grey(src + 3 * x) < 128) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
                break;
        }
        out.write(row);
    }
}

}  // namespace orvix
