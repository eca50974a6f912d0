#pragma once
// The strip of pages: images with their encoding records, in order, with one
// selected page, plus the thumbnail grid the window draws them in.
#include <cstdint>
#include <vector>

#include "encoding/io_params.h"
#include "pages/image.h"

namespace orvix {

struct StripPage {
    Image image;
    TIOParamsVals record = TIOParamsVals::forPage();
};

struct StripRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    friend bool operator==(const StripRect&, const StripRect&) = default;
};

// The grid as the frame sets it up.
struct ThumbLayout {
    int thumbWidth = 100;
    int thumbHeight = 100;
    int horizBorder = 4;
    int vertBorder = 4;
    int gridWidth = 1;  // columns; 0 lets the window choose
    int selectionWidth = 2;
    Rgb selectionColor{160, 160, 255};
};

enum class MouseInteract { None, Select };

class PageStrip {
public:
    int count() const { return static_cast<int>(pages_.size()); }
    // -1 exactly when the strip is empty.
    int selected() const { return selected_; }

    // Adds an empty page at the end, selects it, returns its index.
    int append();
    // Adds an empty page before `index` (count appends), selects it. Its record
    // takes the settings of the page it displaces, or of the last page.
    int insert(int index);
    void setImage(int index, const Image& image);
    const Image& image(int index) const;
    const TIOParamsVals& record(int index) const;
    TIOParamsVals& record(int index);

    // Out of range or unchanged: ignored.
    void select(int index);
    // index >= count is ignored; negative throws ListIndexError.
    void remove(int index);
    // Takes the page at `from` out and puts it at `to` (past the end: last).
    // The selection keeps its number, whichever page now stands there.
    void move(int from, int to);
    // Puts the selected page before the page at `index` (count: at the end);
    // it stays selected at its new place.
    void moveSelectedTo(int index);
    void clear();

    // Where a page dropped at client point (x, y) goes, 0..count.
    int insertionIndexAt(int x, int y) const;
    // Slot of page `index` in content coordinates (no scrolling): the gap above
    // and left of the thumbnail plus the thumbnail. index == count is the empty
    // slot after the last page.
    StripRect cellRect(int index) const;
    StripRect thumbRect(int index) const;

    const ThumbLayout& layout() const { return layout_; }
    int scrollX() const { return scrollX_; }
    int scrollY() const { return scrollY_; }
    // The window reports its scroll position here.
    void setScroll(int x, int y);

    MouseInteract mouseInteract() const { return mouseInteract_; }
    void setMouseInteract(MouseInteract m) { mouseInteract_ = m; }
    bool dragging() const { return dragging_; }
    void beginDrag() { dragging_ = true; }
    void endDrag() { dragging_ = false; }

    // Bumped by every change of pages, order or selection, so the window knows
    // when to redraw thumbnails; ignored calls leave it alone.
    std::uint64_t revision() const { return revision_; }

private:
    const StripPage& at(int index) const;
    StripPage& at(int index);
    void moveRaw(int from, int to);
    int columns() const;

    std::vector<StripPage> pages_;
    int selected_ = -1;
    ThumbLayout layout_;
    int scrollX_ = 0;
    int scrollY_ = 0;
    MouseInteract mouseInteract_ = MouseInteract::Select;
    bool dragging_ = false;
    std::uint64_t revision_ = 0;
};

}  // namespace orvix
