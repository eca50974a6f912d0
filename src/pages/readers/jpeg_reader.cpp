// JPEG through the libjpeg 62 API. libjpeg reports errors by longjmp, so every
// function that calls setjmp below keeps only trivially destructible locals and
// returns false; the C++ caller turns that into a DecodeError.
#include <csetjmp>
#include <cstdio>
#include <memory>
// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>
#include <jerror.h>

#include "pages/readers/format_readers.h"

namespace orvix::readers {
namespace {

constexpr std::string_view kFormat = "JPEG";
// Bounds the work a crafted progressive file can demand.
constexpr int kMaxScans = 1000;

struct Session {
    jpeg_decompress_struct cinfo;
    jpeg_error_mgr errorManager;
    jpeg_source_mgr source;
    jpeg_progress_mgr progress;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

Session& sessionOf(j_common_ptr cinfo) { return *static_cast<Session*>(cinfo->client_data); }

void onError(j_common_ptr cinfo) {
    Session& s = sessionOf(cinfo);
    (*cinfo->err->format_message)(cinfo, s.message);
    std::longjmp(s.jump, 1);
}

// Warnings (e.g. extraneous bytes) are tolerated and kept off stderr.
void onMessage(j_common_ptr, int) {}

void initSource(j_decompress_ptr) {}
void termSource(j_decompress_ptr) {}

// The whole file is in the buffer from the start: asking for more means truncation.
boolean fillInput(j_decompress_ptr cinfo) {
    ERREXIT(cinfo, JERR_INPUT_EOF);
    return FALSE;
}

void skipInput(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* src = cinfo->src;
    if (static_cast<unsigned long>(count) > src->bytes_in_buffer) ERREXIT(cinfo, JERR_INPUT_EOF);
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<std::size_t>(count);
}

void onProgress(j_common_ptr cinfo) {
    if (!cinfo->is_decompressor) return;
    const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->input_scan_number > kMaxScans) {
        std::snprintf(sessionOf(cinfo).message, JMSG_LENGTH_MAX, "too many progressive scans");
        std::longjmp(sessionOf(cinfo).jump, 1);
    }
}

bool create(Session& s) {
    s.cinfo.err = jpeg_std_error(&s.errorManager);
    s.errorManager.error_exit = onError;
    s.errorManager.emit_message = onMessage;
    s.cinfo.client_data = &s;
    if (setjmp(s.jump)) return false;
    jpeg_create_decompress(&s.cinfo);
    return true;
}

bool readHeader(Session& s, const std::uint8_t* data, std::size_t size) {
    if (setjmp(s.jump)) return false;
    s.source.init_source = initSource;
    s.source.fill_input_buffer = fillInput;
    s.source.skip_input_data = skipInput;
    s.source.resync_to_restart = jpeg_resync_to_restart;
    s.source.term_source = termSource;
    s.source.next_input_byte = data;
    s.source.bytes_in_buffer = size;
    s.cinfo.src = &s.source;
    s.progress.progress_monitor = onProgress;
    s.cinfo.progress = &s.progress;
    s.cinfo.mem->max_memory_to_use = static_cast<long>(kMaxPixelBytes / 2);
    jpeg_read_header(&s.cinfo, TRUE);
    return true;
}

bool start(Session& s) {
    if (setjmp(s.jump)) return false;
    const J_COLOR_SPACE in = s.cinfo.jpeg_color_space;
    s.cinfo.out_color_space =
        in == JCS_GRAYSCALE ? JCS_GRAYSCALE : (in == JCS_CMYK || in == JCS_YCCK) ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&s.cinfo);
    return true;
}

void toRgb(const JSAMPLE* in, std::uint8_t* out, JDIMENSION width, int components, bool invertedCmyk) {
    for (JDIMENSION x = 0; x < width; ++x, out += 3) {
        if (components == 1) {
            out[0] = out[1] = out[2] = in[x];
        } else if (components == 3) {
            out[0] = in[x * 3];
            out[1] = in[x * 3 + 1];
            out[2] = in[x * 3 + 2];
        } else {
            // Adobe (Photoshop) writers store CMYK inverted; plain CMYK is not.
            const JSAMPLE* p = in + x * 4;
            const unsigned c = invertedCmyk ? p[0] : 255u - p[0];
            const unsigned m = invertedCmyk ? p[1] : 255u - p[1];
            const unsigned y = invertedCmyk ? p[2] : 255u - p[2];
            const unsigned k = invertedCmyk ? p[3] : 255u - p[3];
            out[0] = static_cast<std::uint8_t>((c * k + 127) / 255);
            out[1] = static_cast<std::uint8_t>((m * k + 127) / 255);
            out[2] = static_cast<std::uint8_t>((y * k + 127) / 255);
        }
    }
}

// Reading every scanline is enough; the trailing EOI marker is not required.
bool readPixels(Session& s, std::uint8_t* out, std::size_t stride) {
    if (setjmp(s.jump)) return false;
    j_decompress_ptr c = &s.cinfo;
    const int components = c->output_components;
    const bool inverted = components == 4 && c->saw_Adobe_marker;
    JSAMPARRAY line = (*c->mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(c), JPOOL_IMAGE,
                                              c->output_width * static_cast<JDIMENSION>(components), 1);
    while (c->output_scanline < c->output_height) {
        std::uint8_t* row = out + stride * c->output_scanline;
        if (jpeg_read_scanlines(c, line, 1) != 1) ERREXIT(c, JERR_INPUT_EOF);
        toRgb(line[0], row, c->output_width, components, inverted);
    }
    return true;
}

struct Destroy {
    void operator()(jpeg_decompress_struct* c) const { jpeg_destroy_decompress(c); }
};

int densityDpi(const jpeg_decompress_struct& c, UINT16 density) {
    if (!c.saw_JFIF_marker) return 0;
    if (c.density_unit == 1) return roundedDpi(density);
    if (c.density_unit == 2) return dpiFromPixelsPerCentimetre(density);
    return 0;
}

}  // namespace

DecodedImage decodeJpeg(Bytes bytes) {
    auto session = std::make_unique<Session>();
    Session& s = *session;
    if (!create(s)) fail(kFormat, s.message);
    std::unique_ptr<jpeg_decompress_struct, Destroy> guard(&s.cinfo);

    if (!readHeader(s, bytes.data(), bytes.size())) fail(kFormat, s.message);
    checkDimensions(kFormat, s.cinfo.image_width, s.cinfo.image_height);
    if (!start(s)) fail(kFormat, s.message);
    const int components = s.cinfo.output_components;
    if (components != 1 && components != 3 && components != 4) fail(kFormat, "unsupported colour layout");

    DecodedImage result;
    result.image = Image(static_cast<int>(s.cinfo.output_width), static_cast<int>(s.cinfo.output_height));
    if (!readPixels(s, result.image.data(), result.image.stride())) fail(kFormat, s.message);
    result.bitsPerSample = 8;
    result.samplesPerPixel = s.cinfo.num_components;
    result.progressive = s.cinfo.progressive_mode != 0;
    result.dpiX = densityDpi(s.cinfo, s.cinfo.X_density);
    result.dpiY = densityDpi(s.cinfo, s.cinfo.Y_density);
    return result;
}

}  // namespace orvix::readers
