#pragma once
// A strict LZW decoder written from the PDF LZWDecode filter's description,
// for EarlyChange 1 (TIFF's and PDF's default) and 0. Besides the bytes it
// reports every code with the width it was read at.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orvix::oracle {

struct LzwCode {
    unsigned code;
    unsigned width;
};

struct LzwDecoded {
    bool ok = false;
    std::string error;
    std::vector<std::uint8_t> bytes;
    std::vector<LzwCode> codes;                  // as read, Clear and end-of-data included
    std::vector<std::size_t> tableSizesAtClear;  // for each Clear but a leading one
};

inline LzwDecoded decodeLzw(std::span<const std::uint8_t> in, int earlyChange = 1) {
    // An entry is its prefix entry plus one byte.
    struct Entry {
        int prefix;
        std::uint8_t last;
        std::uint8_t first;
        std::size_t length;
    };
    LzwDecoded out;
    std::vector<Entry> table;
    auto reset = [&] {
        table.clear();
        for (int i = 0; i < 256; ++i)
            table.push_back({-1, static_cast<std::uint8_t>(i), static_cast<std::uint8_t>(i), 1});
        table.push_back({-1, 0, 0, 0});  // Clear
        table.push_back({-1, 0, 0, 0});  // end of data
    };
    auto emit = [&](int code) {
        const std::size_t end = out.bytes.size() + table[code].length;
        out.bytes.resize(end);
        std::size_t at = end;
        for (int c = code; c >= 0; c = table[c].prefix) out.bytes[--at] = table[c].last;
    };
    reset();
    unsigned width = 9;
    std::size_t bitPos = 0;
    const std::size_t totalBits = in.size() * 8;
    int prev = -1;
    for (;;) {
        if (bitPos + width > totalBits) {
            out.error = "stream ends without end-of-data";
            return out;
        }
        unsigned code = 0;
        for (unsigned b = 0; b < width; ++b, ++bitPos)
            code = (code << 1) | ((in[bitPos / 8] >> (7 - bitPos % 8)) & 1u);
        out.codes.push_back({code, width});
        if (code == 256) {
            if (out.codes.size() > 1) out.tableSizesAtClear.push_back(table.size());
            reset();
            width = 9;
            prev = -1;
            continue;
        }
        if (code == 257) break;
        const bool known = code < table.size();
        if (!known && !(code == table.size() && prev >= 0)) {
            out.error = "code " + std::to_string(code) + " is not in the table";
            return out;
        }
        if (prev >= 0 && table.size() < 4096) {
            // The new entry is the previous string plus the first byte of this one
            // (of the previous one when this code is the entry being made).
            const std::uint8_t first = known ? table[code].first : table[prev].first;
            table.push_back({prev, first, table[prev].first, table[prev].length + 1});
            if (table.size() + earlyChange >= (1u << width) && width < 12) ++width;
        }
        emit(static_cast<int>(code));
        prev = static_cast<int>(code);
    }
    // Only zero padding up to the next byte may follow the end code.
    if ((bitPos + 7) / 8 != in.size()) {
        out.error = "bytes after the end-of-data code";
        return out;
    }
    for (; bitPos % 8 != 0; ++bitPos) {
        if ((in[bitPos / 8] >> (7 - bitPos % 8)) & 1u) {
            out.error = "padding bits are not zero";
            return out;
        }
    }
    out.ok = true;
    return out;
}

}  // namespace orvix::oracle
