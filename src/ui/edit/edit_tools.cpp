#include "ui/edit/edit_tools.h"

#include <utility>

#include "pages/edit/black_border.h"
#include "pages/edit/crop.h"
#include "pages/edit/resample.h"
#include "pages/edit/retouch.h"
#include "pages/edit/rotate.h"
#include "ui/edit/edit_texts.h"
#include "ui/texts.h"

namespace orvix {
namespace {

constexpr double kTurnRight = 270.0;
constexpr double kTurnLeft = 90.0;
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};
constexpr Rgb kBlack{0, 0, 0};

// As the image view judges it: empty only when both sides are below 2.
bool viewEmpty(const Image& image) { return image.width() < 2 && image.height() < 2; }

}  // namespace

EditTools::EditTools(TmyOrvixCamFrame& frame, Shell& shell) : frame_(frame), shell_(shell) {}

bool EditTools::requirePages() {
    if (frame_.ImageEnMView1.count() > 0) return true;
    shell_.messageBox(texts::kNoImageData, texts::kCaptionNotice, mb::kNotice);
    return false;
}

bool EditTools::requireImageInView() {
    if (!viewEmpty(frame_.Img1.image)) return true;
    shell_.messageBox(edit_texts::kNothingToEdit, texts::kCaptionNotice, mb::kNotice);
    return false;
}

// The tools edit the selected page. When the view holds anything else (a
// live frame, or a page stamped or deleted since it was shown), writing it
// back would overwrite the page with it, so the page is shown first, which
// also stops the preview. A selection drawn on that other picture is
// dropped, and a tool that works on the selection then stops rather than
// change pixels the user never picked.
EditTools::InView EditTools::bringSelectedPageIntoView() {
    const PageStrip& strip = frame_.ImageEnMView1;
    const int page = strip.selected();
    if (page < 0) return InView::PageGone;
    if (frame_.Img1.image == strip.image(page)) return InView::Ready;
    const bool hadSelection = selection() != nullptr;
    selection_.reset();
    frame_.ImageEnMView1ImageSelect(page);
    // Showing lets messages run; the page may be gone afterwards.
    if (strip.selected() < 0) return InView::PageGone;
    return hadSelection ? InView::SelectionDropped : InView::Ready;
}

void EditTools::saveUndo() {
    const Image& image = frame_.Img1.image;
    if (image.width() < 2 || image.height() < 2) {
        // Not kept; an older state must not come back in its place.
        undo_.reset();
        return;
    }
    undo_ = UndoState{image, std::nullopt};
}

void EditTools::writeBack() {
    PageStrip& strip = frame_.ImageEnMView1;
    const int page = strip.selected();
    if (page < 0) return;
    strip.setImage(page, frame_.Img1.image);
    if (undo_) undo_->revision = strip.revision();
}

const PixelMask* EditTools::selection() const {
    if (!selection_) return nullptr;
    const Image& image = frame_.Img1.image;
    if (selection_->width() != image.width() || selection_->height() != image.height()) return nullptr;
    return &*selection_;
}

void EditTools::selectRectangle(int x1, int y1, int x2, int y2) {
    const Image& image = frame_.Img1.image;
    PixelMask mask = PixelMask::rectangle(image.width(), image.height(), x1, y1, x2, y2);
    if (mask.any()) {
        selection_ = std::move(mask);
    } else {
        selection_.reset();
    }
}

void EditTools::selectPolygon(std::span<const PixelPoint> vertices) {
    const Image& image = frame_.Img1.image;
    PixelMask mask = PixelMask::polygon(image.width(), image.height(), vertices);
    if (mask.any()) {
        selection_ = std::move(mask);
    } else {
        selection_.reset();
    }
}

void EditTools::rotateView(double degrees) {
    if (!requirePages()) return;
    if (bringSelectedPageIntoView() == InView::PageGone) return;
    saveUndo();
    frame_.Img1.image = rotate(frame_.Img1.image, degrees, kButtonFace);
    // It marked pixels that have moved.
    selection_.reset();
    writeBack();
}

void EditTools::btn1Click() { rotateView(kTurnRight); }

void EditTools::btn2Click() { rotateView(kTurnLeft); }

void EditTools::btn3Click() {
    if (!requirePages()) return;
    if (bringSelectedPageIntoView() == InView::PageGone) return;
    saveUndo();
    TFrmCustomRotate dialog;
    dialog.img1 = frame_.Img1.image;
    dialog.img_source = frame_.Img1.image;

    PageStrip& strip = frame_.ImageEnMView1;
    const auto revision = strip.revision();
    if (showRotateDialog) showRotateDialog(dialog);
    // Scripts keep running under a modal dialog. If they changed the pages,
    // the selected page may no longer be the one the dialog turned.
    if (strip.revision() != revision) return;

    if (dialog.modalResult() == ModalResult::Ok) {
        MainView& view = frame_.Img1;
        const double zoom = view.zoom;
        const int width = dialog.img_source.width();
        const int height = dialog.img_source.height();
        saveUndo();
        // The picture is squeezed back into the size it had.
        view.image = resampleNearest(rotate(dialog.img_source, dialog.rotationAngle(), kButtonFace), width, height);
        view.zoom = zoom;
        selection_.reset();
    }
    // Also after Cancel: the page gets its image back unchanged.
    writeBack();
}

void EditTools::btn4Click() {
    selection_.reset();
    if (!requireImageInView()) return;
    mouseMode_ = ViewMouseMode::SelectPolygon;
}

void EditTools::btn5Click() {
    selection_.reset();
    if (!requireImageInView()) return;
    mouseMode_ = ViewMouseMode::Select;
}

void EditTools::btn6Click() {
    if (!requirePages()) return;
    if (!selection()) {
        shell_.messageBox(edit_texts::kSelectAreaToFill, texts::kCaptionNotice, mb::kNotice);
        return;
    }
    if (bringSelectedPageIntoView() != InView::Ready) return;
    saveUndo();
    frame_.Img1.image = fillSelection(frame_.Img1.image, *selection(), kWhite);
    writeBack();
}

void EditTools::btn7Click() {
    if (!requireImageInView()) return;
    if (!requirePages()) return;
    if (bringSelectedPageIntoView() != InView::Ready) return;
    // Nothing to crop to: the page, the undo state and the mode stay.
    const PixelMask* selected = selection();
    if (!selected) return;
    saveUndo();
    frame_.img2.image = cropToSelection(frame_.Img1.image, *selected, kButtonFace);
    frame_.Img1.image = frame_.img2.image;
    selection_.reset();
    writeBack();
    mouseMode_ = ViewMouseMode::Zoom;
}

void EditTools::castTool(Rgb colour) {
    if (!requirePages()) return;
    if (bringSelectedPageIntoView() != InView::Ready) return;
    saveUndo();
    castToColor(colour.r, colour.g, colour.b);
    writeBack();
}

void EditTools::btn8Click() { castTool(kRed); }

void EditTools::btn9Click() { castTool(kGreen); }

void EditTools::castToColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    const Rgb colour{r, g, b};
    Image& image = frame_.Img1.image;
    if (const PixelMask* selected = selection()) {
        image = orvix::castToColor(image, *selected, colour);
    } else {
        image = orvix::castToColor(image, colour);
    }
}

void EditTools::btn10Click() {
    if (!undo_) return;
    const PageStrip& strip = frame_.ImageEnMView1;
    // Stale once pages or the selection changed: it would go into a page it
    // never came from.
    if (undo_->revision != strip.revision() || bringSelectedPageIntoView() == InView::PageGone ||
        undo_->revision != strip.revision()) {
        undo_.reset();
        return;
    }
    frame_.Img1.image = std::move(undo_->image);
    undo_.reset();
    writeBack();
}

void EditTools::btn11Click() {
    mouseMode_ = ViewMouseMode::Zoom;
    // Keep the zoom the user makes.
    frame_.Img1.autoFit = false;
}

void EditTools::SpeedButton1Click() {
    if (!requirePages()) return;
    if (bringSelectedPageIntoView() == InView::PageGone) return;
    saveUndo();
    mouseMode_ = ViewMouseMode::Select;
    selection_.reset();
    frame_.Img1.image = removeBlackBorder(frame_.Img1.image);
    writeBack();
}

void EditTools::SpeedButton2Click() {
    if (!requirePages()) return;
    if (bringSelectedPageIntoView() == InView::PageGone) return;
    saveUndo();
    mouseMode_ = ViewMouseMode::Select;
    selection_.reset();
    castToColor(kBlack.r, kBlack.g, kBlack.b);
    writeBack();
}

void EditTools::rotateAll(double value) {
    // Refuse a non-finite angle before any page changes.
    const bool wholeTurns = normalizedDegrees(value) == 0.0;
    PageStrip& strip = frame_.ImageEnMView1;
    for (int i = 0; i < strip.count(); ++i) {
        strip.select(i);
        if (!wholeTurns) strip.setImage(i, rotate(strip.image(i), value, kButtonFace));
    }
    selection_.reset();
    // Stops the preview even with no pages.
    frame_.ImageEnMView1ImageSelect(strip.count() - 1);
}

}  // namespace orvix
