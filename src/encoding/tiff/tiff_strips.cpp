#include "encoding/tiff/tiff_strips.h"

#include <zlib.h>

#include <algorithm>
#include <array>

#include "encoding/lzw_encoder.h"
#include "encoding/tiff/packbits.h"
#include "errors.h"

namespace orvix::tiff {
namespace {

constexpr std::uint64_t kStripMemory = 524288;

class Deflater {
public:
    explicit Deflater(int level) {
        if (deflateInit(&z_, level) != Z_OK) throw Error("Cannot start the Deflate coder");
    }
    ~Deflater() { deflateEnd(&z_); }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    void feed(std::span<const std::uint8_t> data, bool last, ByteSink& out) {
        z_.next_in = const_cast<Bytef*>(data.data());
        z_.avail_in = static_cast<uInt>(data.size());
        const int flush = last ? Z_FINISH : Z_NO_FLUSH;
        int rc;
        do {
            z_.next_out = chunk_.data();
            z_.avail_out = static_cast<uInt>(chunk_.size());
            rc = deflate(&z_, flush);
            if (rc == Z_STREAM_ERROR) throw Error("Deflate coder failed");
            out.write(std::span(chunk_.data(), chunk_.size() - z_.avail_out));
        } while (z_.avail_out == 0 || (last && rc != Z_STREAM_END));
    }

private:
    z_stream z_{};
    std::array<std::uint8_t, 16384> chunk_{};
};

int zlibLevel(std::int32_t effort) {
    switch (effort) {
        case 0: return Z_BEST_SPEED;
        case 2: return Z_BEST_COMPRESSION;
        default: return Z_DEFAULT_COMPRESSION;
    }
}

void writeStrip(TiffBlock& block, RowConverter& rows, int first, int end, std::uint16_t compression) {
    switch (compression) {
        case kLzw: {
            LzwEncoder lzw(block);
            for (int y = first; y < end; ++y) lzw.encode(rows.row(y));
            lzw.finish();
            break;
        }
        case kPackBits: {
            std::vector<std::uint8_t> coded;
            for (int y = first; y < end; ++y) {
                coded.clear();
                packBitsRow(rows.row(y), coded);
                block.write(coded);
            }
            break;
        }
        case kNone:
            for (int y = first; y < end; ++y) block.write(rows.row(y));
            break;
        default:
            throw Error("TIFF compression " + std::to_string(compression) + " has no strip coder");
    }
}

}  // namespace

std::uint32_t rowsPerStrip(std::uint64_t height, std::uint64_t memoryRowLength) {
    const std::uint64_t strips = std::max<std::uint64_t>(height * memoryRowLength / kStripMemory, 1);
    return static_cast<std::uint32_t>(std::max<std::uint64_t>(height / strips, 1));
}

StripTable writeRowStrips(TiffBlock& block, RowConverter& rows, std::uint16_t compression) {
    StripTable table;
    const int height = rows.height();
    table.rowsPerStrip = rowsPerStrip(static_cast<std::uint64_t>(height), rows.memoryRowLength());
    const int step = static_cast<int>(table.rowsPerStrip);
    for (int first = 0; first < height; first += step) {
        const std::uint64_t start = block.position();
        table.offsets.push_back(toOffset(start));
        writeStrip(block, rows, first, std::min(height, first + step), compression);
        table.byteCounts.push_back(toOffset(block.position() - start));
    }
    return table;
}

StripTable writeDeflateStrip(TiffBlock& block, RowConverter& rows, std::int32_t effort) {
    StripTable table;
    table.rowsPerStrip = static_cast<std::uint32_t>(rows.height());
    const std::uint64_t start = block.position();
    table.offsets.push_back(toOffset(start));
    Deflater z(zlibLevel(effort));
    for (int y = 0; y < rows.height(); ++y) z.feed(rows.row(y), false, block);
    z.feed({}, true, block);
    table.byteCounts.push_back(toOffset(block.position() - start));
    return table;
}

}  // namespace orvix::tiff
