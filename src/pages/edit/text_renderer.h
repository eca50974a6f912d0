#pragma once
// Drawing a line of text onto a page: GDI on Windows, FreeType natively.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "pages/image.h"

namespace orvix {

struct TextStyle {
    std::string face;  // 8-bit, in the control's code page
    int points = 0;
    bool bold = false;
    std::uint32_t colour = 0;  // a COLORREF: blue << 16 | green << 8 | red
};

// The script's colour arguments, shifted into place and OR-ed without
// clamping: out-of-range values spill into the neighbouring channel.
std::uint32_t colorRef(int r, int g, int b);
// The three channels of a COLORREF, ignoring its top byte.
Rgb colorRefToRgb(std::uint32_t colour);
// Font points to pixels at 96 pixels an inch, rounded as MulDiv rounds.
int pointsToPixels(int points);

class TextRenderer {
public:
    virtual ~TextRenderer() = default;
    // Draws `text` (8-bit, the control's code page) on one line with the top
    // left of its first character cell at (x, y), opaque, without a
    // background box, cut at the image's edges. Throws Error when no font
    // can be had.
    virtual void draw(Image& image, int x, int y, std::string_view text, const TextStyle& style) = 0;
};

std::unique_ptr<TextRenderer> makeSystemTextRenderer();

}  // namespace orvix
