#include "pages/edit/crop.h"

#include "errors.h"

namespace orvix {

Image cropToSelection(const Image& image, const PixelMask& selection, Rgb background) {
    if (image.width() != selection.width() || image.height() != selection.height()) {
        throw Error("selection does not match the image");
    }
    const auto box = selection.bounds();
    if (!box) throw Error("nothing selected");
    Image out(box->width(), box->height(), background);
    for (int y = box->top; y < box->bottom; ++y) {
        for (int x = box->left; x < box->right; ++x) {
            if (selection.test(x, y)) out.setPixel(x - box->left, y - box->top, image.pixel(x, y));
        }
    }
    return out;
}

}  // namespace orvix
