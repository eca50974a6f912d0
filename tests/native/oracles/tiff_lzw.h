#pragma once
// libtiff as the LZW reference decoder: the stream is stored as the one
// strip of a one-row, 8-bit TIFF in memory and read back with libtiff.
#include <tiffio.h>

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <span>
#include <string>
#include <vector>

namespace orvix::oracle {

struct TiffLzwResult {
    bool ok = false;
    std::vector<std::uint8_t> bytes;
    std::string error;
};

namespace tiff_detail {

struct MemoryFile {
    std::vector<std::uint8_t> data;
    std::uint64_t pos = 0;
};

inline tmsize_t readProc(thandle_t h, void* buf, tmsize_t n) {
    auto* f = static_cast<MemoryFile*>(h);
    const std::uint64_t avail = f->pos < f->data.size() ? f->data.size() - f->pos : 0;
    const std::uint64_t count = std::min<std::uint64_t>(avail, static_cast<std::uint64_t>(n));
    if (count) std::memcpy(buf, f->data.data() + f->pos, count);
    f->pos += count;
    return static_cast<tmsize_t>(count);
}
inline tmsize_t writeProc(thandle_t h, void* buf, tmsize_t n) {
    auto* f = static_cast<MemoryFile*>(h);
    const std::uint64_t end = f->pos + static_cast<std::uint64_t>(n);
    if (end > f->data.size()) f->data.resize(end);
    if (n) std::memcpy(f->data.data() + f->pos, buf, static_cast<std::size_t>(n));
    f->pos = end;
    return n;
}
inline toff_t seekProc(thandle_t h, toff_t off, int whence) {
    auto* f = static_cast<MemoryFile*>(h);
    if (whence == SEEK_SET) f->pos = off;
    else if (whence == SEEK_CUR) f->pos += off;
    else f->pos = f->data.size() + off;
    return f->pos;
}
inline int closeProc(thandle_t) { return 0; }
inline toff_t sizeProc(thandle_t h) { return static_cast<MemoryFile*>(h)->data.size(); }
inline int mapProc(thandle_t, void**, toff_t*) { return 0; }
inline void unmapProc(thandle_t, void*, toff_t) {}

inline std::string& lastError() {
    static thread_local std::string message;
    return message;
}
inline void onError(const char* module, const char* fmt, va_list ap) {
    char text[512];
    std::vsnprintf(text, sizeof text, fmt, ap);
    lastError() = std::string(module ? module : "") + ": " + text;
}
inline void onWarning(const char*, const char*, va_list) {}

inline TIFF* open(MemoryFile& f, const char* mode) {
    TIFFSetErrorHandler(onError);
    TIFFSetWarningHandler(onWarning);
    return TIFFClientOpen("memory", mode, &f, readProc, writeProc, seekProc, closeProc, sizeProc, mapProc,
                          unmapProc);
}

}  // namespace tiff_detail

// Decodes lzw into exactly expectedSize bytes (at least 1). libtiff fails
// when the stream holds fewer bytes; extra data after them goes unnoticed.
inline TiffLzwResult decodeLzwWithLibtiff(std::span<const std::uint8_t> lzw, std::size_t expectedSize) {
    using namespace tiff_detail;
    TiffLzwResult result;
    lastError().clear();
    MemoryFile file;
    if (TIFF* out = open(file, "w")) {
        TIFFSetField(out, TIFFTAG_IMAGEWIDTH, static_cast<std::uint32_t>(expectedSize));
        TIFFSetField(out, TIFFTAG_IMAGELENGTH, 1u);
        TIFFSetField(out, TIFFTAG_BITSPERSAMPLE, 8);
        TIFFSetField(out, TIFFTAG_SAMPLESPERPIXEL, 1);
        TIFFSetField(out, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
        TIFFSetField(out, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
        TIFFSetField(out, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
        TIFFSetField(out, TIFFTAG_ROWSPERSTRIP, 1u);
        std::vector<std::uint8_t> raw(lzw.begin(), lzw.end());
        const bool written = TIFFWriteRawStrip(out, 0, raw.data(), static_cast<tmsize_t>(raw.size())) >= 0;
        TIFFClose(out);
        if (!written) {
            result.error = "write: " + lastError();
            return result;
        }
    }
    file.pos = 0;
    TIFF* in = open(file, "r");
    if (!in) {
        result.error = "open: " + lastError();
        return result;
    }
    result.bytes.resize(expectedSize);
    const tmsize_t got = TIFFReadEncodedStrip(in, 0, result.bytes.data(), static_cast<tmsize_t>(expectedSize));
    TIFFClose(in);
    result.ok = got == static_cast<tmsize_t>(expectedSize);
    if (!result.ok) result.error = "read: " + lastError();
    return result;
}

}  // namespace orvix::oracle
