#include "encoding/tiff/packbits.h"

#include <algorithm>

namespace orvix::tiff {

void packBitsRow(std::span<const std::uint8_t> row, std::vector<std::uint8_t>& out) {
    std::size_t literalStart = 0;
    std::size_t literalCount = 0;
    auto flushLiteral = [&] {
        if (literalCount == 0) return;
        out.push_back(static_cast<std::uint8_t>(literalCount - 1));
        out.insert(out.end(), row.begin() + static_cast<std::ptrdiff_t>(literalStart),
                   row.begin() + static_cast<std::ptrdiff_t>(literalStart + literalCount));
        literalCount = 0;
    };
    std::size_t i = 0;
    while (i < row.size()) {
        std::size_t run = 1;
        while (i + run < row.size() && run < 128 && row[i + run] == row[i]) ++run;
        if (run >= 4) {
            flushLiteral();
            out.push_back(static_cast<std::uint8_t>(1 - static_cast<int>(run)));
            out.push_back(row[i]);
        } else {
            for (std::size_t k = 0; k < run; ++k) {
                if (literalCount == 0) literalStart = i + k;
                if (++literalCount == 128) flushLiteral();
            }
        }
        i += run;
    }
    flushLiteral();
}

}  // namespace orvix::tiff
