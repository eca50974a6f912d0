#pragma once
// The editing tools of the button bar. They work on the main view's image,
// which shows the selected page, and write every change back into that page.
// The tools own the main view's mouse mode, its selection and its one-level
// undo; the frame owns the images.
#include <cstdint>
#include <functional>
#include <optional>
#include <span>

#include "pages/edit/pixel_mask.h"
#include "pages/image.h"
#include "ui/edit/custom_rotate_dialog.h"
#include "ui/frame.h"
#include "ui/shell.h"

namespace orvix {

// The main view's mouse interaction. The form starts with zoom plus
// zoom-by-selection; the tools set exactly one of the others.
enum class ViewMouseMode { ZoomAndSelectZoom, Zoom, Select, SelectPolygon };

class EditTools {
public:
    EditTools(TmyOrvixCamFrame& frame, Shell& shell);
    EditTools(const EditTools&) = delete;
    EditTools& operator=(const EditTools&) = delete;

    // Shows the rotation dialog modally and returns when it closes; the
    // window sets this. Unset, the dialog closes at once as if cancelled.
    std::function<void(TFrmCustomRotate&)> showRotateDialog;

    void btn1Click();   // turn clockwise by 90 degrees
    void btn2Click();   // turn anticlockwise by 90 degrees
    void btn3Click();   // rotation dialog
    void btn4Click();   // free-form selection mode
    void btn5Click();   // rectangle selection mode
    void btn6Click();   // fill the selection with white
    void btn7Click();   // crop to the selection
    void btn8Click();   // selection to red on white
    void btn9Click();   // selection to green on white
    void btn10Click();  // undo
    void btn11Click();  // zoom mode
    void SpeedButton1Click();  // remove a black border
    void SpeedButton2Click();  // whole image to black on white

    // The colour step on the main view: the selection, or the whole image.
    void castToColor(std::uint8_t r, std::uint8_t g, std::uint8_t b);
    // Turns every page by `value` degrees anticlockwise, then shows the last
    // page. A non-finite angle throws Error before any page changes.
    void rotateAll(double value);

    ViewMouseMode mouseMode() const { return mouseMode_; }
    // For loads that leave the view in a mode of their own.
    void setMouseMode(ViewMouseMode mode) { mouseMode_ = mode; }
    // What the user draws, in image pixels (see PixelMask for which pixels
    // a rectangle or polygon takes).
    void selectRectangle(int x1, int y1, int x2, int y2);
    void selectPolygon(std::span<const PixelPoint> vertices);
    void removeSelection() { selection_.reset(); }
    // The selected pixels of the image in view; nullptr when nothing is
    // selected, or when the selection was drawn on an image of another size.
    const PixelMask* selection() const;
    bool canUndo() const { return undo_.has_value(); }

private:
    struct UndoState {
        Image image;
        // The strip's revision right after the edit was written back: any
        // later change of pages or selection makes the state stale.
        std::optional<std::uint64_t> revision;
    };

    enum class InView { Ready, SelectionDropped, PageGone };

    bool requirePages();
    bool requireImageInView();
    InView bringSelectedPageIntoView();
    void saveUndo();
    void writeBack();
    void rotateView(double degrees);
    void castTool(Rgb colour);

    TmyOrvixCamFrame& frame_;
    Shell& shell_;
    ViewMouseMode mouseMode_ = ViewMouseMode::ZoomAndSelectZoom;
    std::optional<PixelMask> selection_;
    std::optional<UndoState> undo_;
};

}  // namespace orvix
