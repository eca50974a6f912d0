#pragma once
// A page or view bitmap: 24-bit RGB, rows top-down, tightly packed (R,G,B per pixel).
// Value type: copying an Image copies its pixels.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvix {

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    friend bool operator==(const Rgb&, const Rgb&) = default;
};

class Image {
public:
    Image() = default;
    Image(int width, int height, Rgb fill = {});

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    std::size_t stride() const { return static_cast<std::size_t>(width_) * 3; }

    std::uint8_t* row(int y) { return pixels_.data() + stride() * static_cast<std::size_t>(y); }
    const std::uint8_t* row(int y) const { return pixels_.data() + stride() * static_cast<std::size_t>(y); }
    std::uint8_t* data() { return pixels_.data(); }
    const std::uint8_t* data() const { return pixels_.data(); }
    std::size_t byteSize() const { return pixels_.size(); }

    Rgb pixel(int x, int y) const;
    void setPixel(int x, int y, Rgb c);
    // Keeps the size, paints every pixel.
    void fill(Rgb c);

    friend bool operator==(const Image&, const Image&) = default;

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> pixels_;
};

// The system button-face colour, used as the views' background.
inline constexpr Rgb kButtonFace{240, 240, 240};

}  // namespace orvix
