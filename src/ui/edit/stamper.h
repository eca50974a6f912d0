#pragma once
// Stamping a watermark picture or a line of text onto every page. Stamps are
// for good: no undo.
#include <optional>
#include <string>

#include "pages/edit/pixel_mask.h"
#include "pages/edit/text_renderer.h"
#include "ui/frame.h"

namespace orvix {

class Stamper {
public:
    Stamper(TmyOrvixCamFrame& frame, TextRenderer& text);
    Stamper(const Stamper&) = delete;
    Stamper& operator=(const Stamper&) = delete;

    // The watermark-loaded step: the URL loader runs it right after each
    // load, on whatever picture img_watermark then holds. Near-white pixels
    // become transparent; the stamp leaves them out, so a logo's white
    // background does not cover the page.
    void watermarkLoaded();

    // Resizes the picture in place (see watermarkSize), stamps it onto every
    // page at (x, y) and shows the last page. False, with the pages
    // untouched, when there are no pages, no picture, or both sizes are
    // negative; false too on a failure part-way, with the pages stamped so
    // far left stamped.
    bool drawWaterMark(int x, int y, int width, int height);

    // Bold text in "宋体" (drawText) or `fontname` on every page, then the
    // last page shown. Failures end the stamping silently. `alpha` has no
    // effect: the text is always opaque.
    void drawText(int x, int y, const std::string& text, int fontsize, int font_r, int font_g, int font_b);
    void drawTextTo(int x, int y, const std::string& text, const std::string& fontname, int fontsize, int r, int g,
                    int b, int alpha);

    // Transparent pixels of the watermark picture; nullopt before the first
    // load.
    const std::optional<PixelMask>& watermarkTransparency() const { return transparency_; }

private:
    void stampText(int x, int y, const std::string& text, const TextStyle& style);
    void finish();

    TmyOrvixCamFrame& frame_;
    TextRenderer& text_;
    std::optional<PixelMask> transparency_;
};

}  // namespace orvix
