#pragma once
// Walks the marker segments of a JPEG stream up to the first scan, the way
// any JPEG parser must, and checks that the stream ends with EOI.
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace orvix::oracle {

struct JpegSegment {
    std::uint8_t code;
    std::vector<std::uint8_t> payload;  // without the length field
};

struct JpegLayout {
    bool ok = false;
    std::string error;
    std::vector<JpegSegment> segments;  // SOI first, then every segment up to and including the first SOS
    bool endsWithEoi = false;

    std::vector<std::uint8_t> codes() const {
        std::vector<std::uint8_t> c;
        for (const auto& s : segments) c.push_back(s.code);
        return c;
    }
};

inline JpegLayout walkJpeg(std::span<const std::uint8_t> d) {
    JpegLayout r;
    r.endsWithEoi = d.size() >= 2 && d[d.size() - 2] == 0xFF && d[d.size() - 1] == 0xD9;
    if (d.size() < 2 || d[0] != 0xFF || d[1] != 0xD8) {
        r.error = "no SOI";
        return r;
    }
    r.segments.push_back({0xD8, {}});
    std::size_t pos = 2;
    for (;;) {
        if (pos + 4 > d.size() || d[pos] != 0xFF) {
            r.error = "bad marker at " + std::to_string(pos);
            return r;
        }
        const std::uint8_t code = d[pos + 1];
        const std::size_t length = (std::size_t{d[pos + 2]} << 8) | d[pos + 3];
        if (length < 2 || pos + 2 + length > d.size()) {
            r.error = "bad length at " + std::to_string(pos);
            return r;
        }
        r.segments.push_back({code, {d.begin() + pos + 4, d.begin() + pos + 2 + length}});
        pos += 2 + length;
        if (code == 0xDA) break;
    }
    r.ok = true;
    return r;
}

}  // namespace orvix::oracle
