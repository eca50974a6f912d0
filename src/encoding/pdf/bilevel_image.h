#pragma once
// A black-and-white page as PDF takes it: rows of ceil(width / 8) bytes,
// most significant bit first, 1 = white, top row first.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace orvix::pdf {

class BilevelImage {
public:
    BilevelImage() = default;
    // All white.
    BilevelImage(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return width_ == 0 || height_ == 0; }
    std::size_t stride() const { return (static_cast<std::size_t>(width_) + 7) / 8; }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

    bool white(int x, int y) const;
    void setWhite(int x, int y, bool white);

private:
    std::size_t index(int x, int y) const;

    int width_ = 0;
    int height_ = 0;
    std::vector<std::uint8_t> bytes_;
};

}  // namespace orvix::pdf
