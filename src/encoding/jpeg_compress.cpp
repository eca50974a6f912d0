#include "encoding/jpeg_compress.h"

#include <algorithm>
#include <array>
#include <csetjmp>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "errors.h"

namespace orvix::jpeg {
namespace {

struct ErrorManager {
    jpeg_error_mgr pub{};
    std::jmp_buf jump{};
    char message[JMSG_LENGTH_MAX] = {};
};

struct Destination {
    jpeg_destination_mgr pub{};
    ByteSink* sink = nullptr;
    std::exception_ptr failure;
    std::array<JOCTET, 4096> buffer{};
};

// Everything libjpeg touches lives here, on the heap, so nothing between
// setjmp and longjmp is an automatic variable.
struct State {
    jpeg_compress_struct cinfo{};
    ErrorManager err;
    Destination dest;
    std::vector<std::uint8_t> scratch;
    bool created = false;

    ~State() {
        if (created) jpeg_destroy_compress(&cinfo);
    }
};

[[noreturn]] void jumpOut(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<ErrorManager*>(cinfo->err)->jump, 1);
}

[[noreturn]] void onError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    jumpOut(cinfo);
}

// Warnings are not errors for the writer, and nothing may reach stderr.
void onMessage(j_common_ptr) {}

// Returns false when the sink threw; the exception is kept for the caller.
bool drain(Destination& d, std::size_t n) {
    try {
        d.sink->write(std::span<const std::uint8_t>(d.buffer.data(), n));
        return true;
    } catch (...) {
        d.failure = std::current_exception();
        return false;
    }
}

void initDestination(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<Destination*>(cinfo->dest);
    d->pub.next_output_byte = d->buffer.data();
    d->pub.free_in_buffer = d->buffer.size();
}

boolean emptyOutputBuffer(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<Destination*>(cinfo->dest);
    // libjpeg asks for the whole buffer, whatever free_in_buffer says.
    if (!drain(*d, d->buffer.size())) jumpOut(reinterpret_cast<j_common_ptr>(cinfo));
    initDestination(cinfo);
    return TRUE;
}

void termDestination(j_compress_ptr cinfo) {
    auto* d = reinterpret_cast<Destination*>(cinfo->dest);
    if (!drain(*d, d->buffer.size() - d->pub.free_in_buffer)) jumpOut(reinterpret_cast<j_common_ptr>(cinfo));
}

// Every libjpeg call happens here. Returns false after a longjmp.
bool run(State& s, const Image& image, Input input, const Setup& setup) {
    if (setjmp(s.err.jump) != 0) return false;

    s.cinfo.err = jpeg_std_error(&s.err.pub);
    s.err.pub.error_exit = onError;
    s.err.pub.output_message = onMessage;
    s.created = true;
    jpeg_create_compress(&s.cinfo);

    s.dest.pub.init_destination = initDestination;
    s.dest.pub.empty_output_buffer = emptyOutputBuffer;
    s.dest.pub.term_destination = termDestination;
    s.cinfo.dest = &s.dest.pub;

    s.cinfo.image_width = static_cast<JDIMENSION>(image.width());
    s.cinfo.image_height = static_cast<JDIMENSION>(image.height());
    s.cinfo.input_components = input == Input::Rgb ? 3 : 4;
    s.cinfo.in_color_space = input == Input::Rgb ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&s.cinfo);
    if (setup.configure) setup.configure(s.cinfo, setup.context);

    jpeg_start_compress(&s.cinfo, TRUE);
    if (setup.afterStart) setup.afterStart(s.cinfo, setup.context);

    while (s.cinfo.next_scanline < s.cinfo.image_height) {
        const int y = static_cast<int>(s.cinfo.next_scanline);
        JSAMPROW row;
        if (input == Input::Rgb) {
            // libjpeg never writes to input rows.
            row = const_cast<JSAMPROW>(image.row(y));
        } else {
            rgbToAdobeCmyk(image.row(y), s.scratch.data(), static_cast<std::size_t>(image.width()));
            row = s.scratch.data();
        }
        jpeg_write_scanlines(&s.cinfo, &row, 1);
    }
    jpeg_finish_compress(&s.cinfo);
    return true;
}

}  // namespace

void compress(const Image& image, Input input, const Setup& setup, ByteSink& out) {
    if (image.empty()) throw Error("Cannot write an empty image as JPEG");
    auto state = std::make_unique<State>();
    state->dest.sink = &out;
    if (input == Input::Cmyk) state->scratch.resize(static_cast<std::size_t>(image.width()) * 4);
    if (run(*state, image, input, setup)) return;
    if (state->dest.failure) std::rethrow_exception(state->dest.failure);
    throw Error(std::string("JPEG encoder: ") + state->err.message);
}

void rgbToAdobeCmyk(const std::uint8_t* rgb, std::uint8_t* cmyk, std::size_t pixels) {
    for (std::size_t i = 0; i < pixels; ++i, rgb += 3, cmyk += 4) {
        const unsigned max = std::max({rgb[0], rgb[1], rgb[2]});
        if (max == 0) {
            cmyk[0] = cmyk[1] = cmyk[2] = 255;
            cmyk[3] = 0;
            continue;
        }
        // Inverted C = 255 - 255 (max - R) / max = 255 R / max; inverted K = max.
        for (int c = 0; c < 3; ++c) cmyk[c] = static_cast<std::uint8_t>((255u * rgb[c] + max / 2) / max);
        cmyk[3] = static_cast<std::uint8_t>(max);
    }
}

}  // namespace orvix::jpeg
