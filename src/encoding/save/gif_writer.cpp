#include "encoding/save/gif_writer.h"

#include <gif_lib.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "errors.h"

namespace orvix {
namespace {

struct IndexedFrame {
    std::vector<GifColorType> palette;  // 256 entries, a power of two as GIF needs
    std::vector<GifByteType> indices;
};

std::uint32_t key(const std::uint8_t* p) { return (p[0] << 16) | (p[1] << 8) | p[2]; }

IndexedFrame indexFrame(const Image& image) {
    IndexedFrame f;
    f.palette.resize(256, GifColorType{0, 0, 0});
    f.indices.resize(static_cast<std::size_t>(image.width()) * image.height());
    std::unordered_map<std::uint32_t, GifByteType> exact;
    const std::size_t n = f.indices.size();
    bool fits = true;
    for (std::size_t i = 0; i < n && fits; ++i) {
        const std::uint8_t* p = image.data() + 3 * i;
        auto [it, added] = exact.try_emplace(key(p), static_cast<GifByteType>(exact.size()));
        if (added) {
            if (exact.size() > 256) {
                fits = false;
                break;
            }
            f.palette[it->second] = GifColorType{p[0], p[1], p[2]};
        }
        f.indices[i] = it->second;
    }
    if (fits) return f;
    for (int i = 0; i < 256; ++i) {
        const int r = i >> 5, g = (i >> 2) & 7, b = i & 3;
        f.palette[i] = GifColorType{static_cast<GifByteType>(r * 255 / 7), static_cast<GifByteType>(g * 255 / 7),
                                    static_cast<GifByteType>(b * 255 / 3)};
    }
    for (std::size_t i = 0; i < n; ++i) {
        const std::uint8_t* p = image.data() + 3 * i;
        // Nearest level on each axis.
        const int r = (p[0] * 7 + 127) / 255, g = (p[1] * 7 + 127) / 255, b = (p[2] * 3 + 127) / 255;
        f.indices[i] = static_cast<GifByteType>((r << 5) | (g << 2) | b);
    }
    return f;
}

// giflib writes through this; bytes are gathered and handed to the sink
// afterwards so that no exception crosses giflib's C frames.
int gather(GifFileType* gif, const GifByteType* bytes, int length) {
    auto* buffer = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
    buffer->insert(buffer->end(), bytes, bytes + length);
    return length;
}

struct GifCloser {
    void operator()(GifFileType* gif) const {
        int ignored = 0;
        EGifCloseFile(gif, &ignored);
    }
};

struct MapFreer {
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

void check(int result, GifFileType* gif, const char* what) {
    if (result != GIF_ERROR) return;
    const char* why = GifErrorString(gif->Error);
    throw Error(std::string("GIF: ") + what + ": " + (why ? why : "failed"));
}

}  // namespace

void writeGif(std::span<const Image> frames, ByteSink& out) {
    if (frames.empty()) throw Error("GIF: no frames");
    int width = 0, height = 0;
    for (const Image& f : frames) {
        if (f.empty()) throw Error("GIF: empty frame");
        if (f.width() > 0xffff || f.height() > 0xffff) throw Error("GIF: frame too large");
        width = std::max(width, f.width());
        height = std::max(height, f.height());
    }
    std::vector<std::uint8_t> buffer;
    int error = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(EGifOpen(&buffer, gather, &error));
    if (!gif) throw Error("GIF: cannot start the stream");
    EGifSetGifVersion(gif.get(), true);
    check(EGifPutScreenDesc(gif.get(), width, height, 8, 0, nullptr), gif.get(), "screen");
    for (const Image& frame : frames) {
        IndexedFrame indexed = indexFrame(frame);
        std::unique_ptr<ColorMapObject, MapFreer> map(GifMakeMapObject(256, indexed.palette.data()));
        if (!map) throw Error("GIF: out of memory");
        check(EGifPutImageDesc(gif.get(), 0, 0, frame.width(), frame.height(), false, map.get()), gif.get(),
              "frame");
        for (int y = 0; y < frame.height(); ++y)
            check(EGifPutLine(gif.get(), indexed.indices.data() + static_cast<std::size_t>(y) * frame.width(),
                              frame.width()),
                  gif.get(), "pixels");
    }
    GifFileType* raw = gif.release();
    if (EGifCloseFile(raw, &error) == GIF_ERROR) throw Error("GIF: cannot end the stream");
    out.write(buffer);
}

}  // namespace orvix
