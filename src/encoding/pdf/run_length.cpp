#include "encoding/pdf/run_length.h"

#include <algorithm>
#include <cstddef>

namespace orvix::pdf {

namespace {
constexpr std::size_t kMaxGroup = 128;
constexpr std::uint8_t kEndOfData = 128;
}  // namespace

std::vector<std::uint8_t> runLengthEncode(std::span<const std::uint8_t> data) {
    std::vector<std::uint8_t> out;
    out.reserve(data.size() + data.size() / kMaxGroup + 2);
    std::size_t literalStart = 0;
    auto flushLiteral = [&](std::size_t end) {
        while (literalStart < end) {
            const std::size_t n = std::min(kMaxGroup, end - literalStart);
            out.push_back(static_cast<std::uint8_t>(n - 1));
            out.insert(out.end(), data.begin() + static_cast<std::ptrdiff_t>(literalStart),
                       data.begin() + static_cast<std::ptrdiff_t>(literalStart + n));
            literalStart += n;
        }
    };

    std::size_t i = 0;
    while (i < data.size()) {
        std::size_t run = 1;
        while (i + run < data.size() && run < kMaxGroup && data[i + run] == data[i]) ++run;
        if (run >= 2) {
            flushLiteral(i);
            out.push_back(static_cast<std::uint8_t>(257 - run));
            out.push_back(data[i]);
            i += run;
            literalStart = i;
        } else {
            ++i;
        }
    }
    flushLiteral(data.size());
    out.push_back(kEndOfData);
    return out;
}

}  // namespace orvix::pdf
