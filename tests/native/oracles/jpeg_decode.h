#pragma once
// libjpeg's decoder as a reference reader: header facts and pixels.
#include <cstdio>

#include <jpeglib.h>

#include <array>
#include <csetjmp>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace orvix::oracle {

struct JpegComponent {
    int id, h, v, quantTable;
    friend bool operator==(const JpegComponent&, const JpegComponent&) = default;
};

struct DecodedJpeg {
    bool ok = false;
    std::string error;
    int width = 0, height = 0;
    J_COLOR_SPACE colorSpace = JCS_UNKNOWN;  // as stored
    bool progressive = false;
    bool sawJfif = false;
    int densityUnit = 0, xDensity = 0, yDensity = 0;
    bool sawAdobe = false;
    int adobeTransform = -1;
    std::vector<JpegComponent> components;
    std::array<std::vector<unsigned>, 4> quant;  // natural order; empty when absent
    int outComponents = 0;                       // 3 RGB, 1 grey, 4 CMYK as stored
    std::vector<std::uint8_t> pixels;
};

namespace jpeg_detail {

struct Decoder {
    jpeg_decompress_struct cinfo{};
    jpeg_error_mgr pub{};
    std::jmp_buf jump{};
    char message[JMSG_LENGTH_MAX] = {};
    bool created = false;
    ~Decoder() {
        if (created) jpeg_destroy_decompress(&cinfo);
    }
};

inline void onError(j_common_ptr c) {
    auto* d = static_cast<Decoder*>(c->client_data);
    (*c->err->format_message)(c, d->message);
    std::longjmp(d->jump, 1);
}
inline void onMessage(j_common_ptr) {}

inline bool run(Decoder& d, std::span<const std::uint8_t> data, DecodedJpeg& r) {
    if (setjmp(d.jump) != 0) return false;
    d.cinfo.err = jpeg_std_error(&d.pub);
    d.cinfo.client_data = &d;
    d.pub.error_exit = onError;
    d.pub.output_message = onMessage;
    d.created = true;
    jpeg_create_decompress(&d.cinfo);
    jpeg_mem_src(&d.cinfo, data.data(), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&d.cinfo, TRUE);
    r.width = static_cast<int>(d.cinfo.image_width);
    r.height = static_cast<int>(d.cinfo.image_height);
    r.colorSpace = d.cinfo.jpeg_color_space;
    r.progressive = d.cinfo.progressive_mode;
    r.sawJfif = d.cinfo.saw_JFIF_marker;
    r.densityUnit = d.cinfo.density_unit;
    r.xDensity = d.cinfo.X_density;
    r.yDensity = d.cinfo.Y_density;
    r.sawAdobe = d.cinfo.saw_Adobe_marker;
    if (r.sawAdobe) r.adobeTransform = d.cinfo.Adobe_transform;
    for (int i = 0; i < d.cinfo.num_components; ++i) {
        const jpeg_component_info& c = d.cinfo.comp_info[i];
        r.components.push_back({c.component_id, c.h_samp_factor, c.v_samp_factor, c.quant_tbl_no});
    }
    for (int t = 0; t < 4; ++t)
        if (const JQUANT_TBL* q = d.cinfo.quant_tbl_ptrs[t]) r.quant[t].assign(q->quantval, q->quantval + DCTSIZE2);
    d.cinfo.out_color_space = d.cinfo.num_components == 1 ? JCS_GRAYSCALE
                              : d.cinfo.num_components == 4 ? JCS_CMYK
                                                            : JCS_RGB;
    jpeg_start_decompress(&d.cinfo);
    r.outComponents = d.cinfo.output_components;
    r.pixels.resize(static_cast<std::size_t>(r.width) * r.height * r.outComponents);
    while (d.cinfo.output_scanline < d.cinfo.output_height) {
        JSAMPROW row = r.pixels.data() + static_cast<std::size_t>(d.cinfo.output_scanline) * r.width * r.outComponents;
        jpeg_read_scanlines(&d.cinfo, &row, 1);
    }
    jpeg_finish_decompress(&d.cinfo);
    return true;
}

}  // namespace jpeg_detail

inline DecodedJpeg decodeJpeg(std::span<const std::uint8_t> data) {
    DecodedJpeg result;
    auto decoder = std::make_unique<jpeg_detail::Decoder>();
    result.ok = jpeg_detail::run(*decoder, data, result);
    if (!result.ok) result.error = decoder->message;
    return result;
}

}  // namespace orvix::oracle
