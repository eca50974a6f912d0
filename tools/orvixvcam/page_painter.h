#pragma once
// The picture the virtual camera films: a white document page with a heading,
// lines of dark text strokes, a red mark in the top-left corner (it shows
// whether a consumer keeps the orientation and the colour order), one blue
// square per instance number in the top-right corner, and a frame counter at
// the bottom right. Pure functions on a 24-bit bottom-up DIB (blue, green, red;
// rows padded to 4 bytes; the bottom row first), as DirectShow's RGB24 holds it.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvix::vcam {

struct Dib {
    std::uint8_t* bits;
    int width;
    int height;
};

std::size_t dibStride(int width);
std::size_t dibBytes(int width, int height);

// What stays the same from frame to frame, noise included.
void paintPage(Dib dib, int instance);
// What changes with each frame: the counter and a little sensor noise.
void paintFrameDetails(Dib dib, std::uint32_t frame);

}  // namespace orvix::vcam
