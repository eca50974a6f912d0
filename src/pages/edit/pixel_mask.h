#pragma once
// One flag per pixel of an image: the selected pixels of a selection, or the
// transparent pixels of a watermark picture.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace orvix {

struct PixelPoint {
    int x = 0, y = 0;
    friend bool operator==(const PixelPoint&, const PixelPoint&) = default;
};

// Columns left .. right-1, rows top .. bottom-1.
struct PixelRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const PixelRect&, const PixelRect&) = default;
};

class PixelMask {
public:
    PixelMask() = default;
    PixelMask(int width, int height, bool value = false);

    // Corners in either order; the pixels from (x1, y1) up to but not
    // including column x2 and row y2, cut to the mask. x1 == x2 or y1 == y2
    // selects nothing.
    static PixelMask rectangle(int width, int height, int x1, int y1, int x2, int y2);

    // Vertex (x, y) stands for the centre of pixel (x, y). A pixel is in when
    // its centre lies inside by the even-odd rule (a centre exactly on an edge
    // counts by the half-open crossing test), or when the outline, traced
    // from vertex to vertex and back to the first with Bresenham's line,
    // passes through it. So what the user drew is always part of it.
    static PixelMask polygon(int width, int height, std::span<const PixelPoint> vertices);

    int width() const { return width_; }
    int height() const { return height_; }
    bool test(int x, int y) const { return bits_[index(x, y)] != 0; }
    void set(int x, int y, bool value = true) { bits_[index(x, y)] = value ? 1 : 0; }

    std::size_t count() const;
    bool any() const;
    PixelMask inverted() const;
    // The smallest rectangle holding every set pixel; nullopt when none is set.
    std::optional<PixelRect> bounds() const;

    friend bool operator==(const PixelMask&, const PixelMask&) = default;

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> bits_;
};

}  // namespace orvix
