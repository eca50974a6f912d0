#include "ui/edit/stamper.h"

#include <exception>

#include "pages/edit/resample.h"
#include "pages/edit/watermark.h"
#include "ui/edit/edit_texts.h"

namespace orvix {
namespace {

// Beyond this the resized picture is refused rather than allocated: no page
// needs a watermark of a gigabyte.
constexpr long long kMaxWatermarkPixels = 1LL << 26;

}  // namespace

Stamper::Stamper(TmyOrvixCamFrame& frame, TextRenderer& text) : frame_(frame), text_(text) {}

void Stamper::watermarkLoaded() { transparency_ = orvix::watermarkTransparency(frame_.img_watermark.image); }

bool Stamper::drawWaterMark(int x, int y, int width, int height) {
    PageStrip& strip = frame_.ImageEnMView1;
    if (strip.count() == 0) return false;
    Image& picture = frame_.img_watermark.image;
    try {
        const auto size = watermarkSize({picture.width(), picture.height()}, width, height);
        if (!size) return false;
        if (static_cast<long long>(size->width) * size->height > kMaxWatermarkPixels) return false;

        // A mask left from another picture (replaced without the loaded
        // step) says nothing about this one.
        const bool masked = transparency_ && transparency_->width() == picture.width() &&
                            transparency_->height() == picture.height();
        if (size->width != picture.width() || size->height != picture.height()) {
            picture = resampleNearest(picture, size->width, size->height);
            if (masked) transparency_ = resampleNearest(*transparency_, size->width, size->height);
        }

        for (int i = 0; i < strip.count(); ++i) {
            frame_.img2.image = strip.image(i);
            frame_.img2.image = masked ? stampPicture(frame_.img2.image, picture, *transparency_, x, y)
                                       : stampPicture(frame_.img2.image, picture, x, y);
            strip.setImage(i, frame_.img2.image);
        }
        finish();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void Stamper::drawText(int x, int y, const std::string& text, int fontsize, int font_r, int font_g, int font_b) {
    stampText(x, y, text, {edit_texts::kSongTi, fontsize, true, colorRef(font_r, font_g, font_b)});
}

void Stamper::drawTextTo(int x, int y, const std::string& text, const std::string& fontname, int fontsize, int r,
                         int g, int b, int /*alpha*/) {
    stampText(x, y, text, {fontname, fontsize, true, colorRef(r, g, b)});
}

void Stamper::stampText(int x, int y, const std::string& text, const TextStyle& style) {
    PageStrip& strip = frame_.ImageEnMView1;
    if (strip.count() == 0) return;
    try {
        for (int i = 0; i < strip.count(); ++i) {
            frame_.img2.image = strip.image(i);
            text_.draw(frame_.img2.image, x, y, text, style);
            strip.setImage(i, frame_.img2.image);
        }
        finish();
    } catch (const std::exception&) {
        // Silent by design; pages stamped so far stay stamped.
    }
}

// The scratch image back to blank, the last page into the main view. The
// strip's selection, the zoom and a running preview are left alone.
void Stamper::finish() {
    frame_.img2.image.fill(kButtonFace);
    frame_.Img1.image = frame_.ImageEnMView1.image(frame_.ImageEnMView1.count() - 1);
}

}  // namespace orvix
