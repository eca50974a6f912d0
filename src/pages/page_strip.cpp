#include "pages/page_strip.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "errors.h"

namespace orvix {

const StripPage& PageStrip::at(int index) const {
    if (index < 0 || index >= count()) throw ListIndexError(index);
    return pages_[static_cast<std::size_t>(index)];
}

StripPage& PageStrip::at(int index) {
    return const_cast<StripPage&>(std::as_const(*this).at(index));
}

int PageStrip::append() { return insert(count()); }

int PageStrip::insert(int index) {
    if (index < 0 || index > count()) throw ListIndexError(index);
    StripPage page;
    if (!pages_.empty()) {
        const int source = index < count() ? index : count() - 1;
        page.record.copyEncodingSettingsFrom(at(source).record);
    }
    pages_.insert(pages_.begin() + index, std::move(page));
    selected_ = index;
    ++revision_;
    return index;
}

void PageStrip::setImage(int index, const Image& image) {
    at(index).image = image;
    ++revision_;
}

const Image& PageStrip::image(int index) const { return at(index).image; }

const TIOParamsVals& PageStrip::record(int index) const { return at(index).record; }

TIOParamsVals& PageStrip::record(int index) { return at(index).record; }

void PageStrip::select(int index) {
    if (index < 0 || index >= count() || index == selected_) return;
    selected_ = index;
    ++revision_;
}

void PageStrip::remove(int index) {
    if (index < 0) throw ListIndexError(index);
    if (index >= count()) return;
    pages_.erase(pages_.begin() + index);
    // The selected page stays selected; if it was the one removed, its
    // follower (or the new last page) takes its place.
    if (pages_.empty()) {
        selected_ = -1;
    } else if (index < selected_) {
        --selected_;
    } else if (index == selected_) {
        selected_ = std::min(selected_, count() - 1);
    }
    ++revision_;
}

void PageStrip::moveRaw(int from, int to) {
    auto first = pages_.begin();
    if (from < to) {
        std::rotate(first + from, first + from + 1, first + to + 1);
    } else {
        std::rotate(first + to, first + from, first + from + 1);
    }
    ++revision_;
}

void PageStrip::move(int from, int to) {
    if (from < 0 || from >= count() || to < 0 || to == from) return;
    to = std::min(to, count() - 1);
    if (to == from) return;
    moveRaw(from, to);
}

void PageStrip::moveSelectedTo(int index) {
    const int from = selected_;
    if (from < 0) return;
    index = std::clamp(index, 0, count());
    // Dropping before the page below shifts that page up by one on removal.
    const int to = index > from ? index - 1 : index;
    if (to == from) return;
    moveRaw(from, to);
    selected_ = to;
}

void PageStrip::clear() {
    if (pages_.empty()) return;
    pages_.clear();
    selected_ = -1;
    ++revision_;
}

int PageStrip::columns() const { return std::max(layout_.gridWidth, 1); }

int PageStrip::insertionIndexAt(int x, int y) const {
    // Wide arithmetic: the window may hand over any point while dragging.
    long long column = (static_cast<long long>(x) + scrollX_) / (layout_.horizBorder + layout_.thumbWidth);
    const long long row = (static_cast<long long>(y) + scrollY_) / (layout_.vertBorder + layout_.thumbHeight);
    // Right of the last column means "after the last page of that row".
    if (layout_.gridWidth > 0 && column > layout_.gridWidth) column = layout_.gridWidth;
    const long long index = row * columns() + column;
    // Points above or left of the grid mean the top.
    return static_cast<int>(std::clamp<long long>(index, 0, count()));
}

StripRect PageStrip::cellRect(int index) const {
    if (index < 0 || index > count()) throw ListIndexError(index);
    const int cellW = layout_.horizBorder + layout_.thumbWidth;
    const int cellH = layout_.vertBorder + layout_.thumbHeight;
    const int left = (index % columns()) * cellW;
    const int top = (index / columns()) * cellH;
    return {left, top, left + cellW, top + cellH};
}

StripRect PageStrip::thumbRect(int index) const {
    const StripRect cell = cellRect(index);
    return {cell.left + layout_.horizBorder, cell.top + layout_.vertBorder, cell.right, cell.bottom};
}

void PageStrip::setScroll(int x, int y) {
    scrollX_ = x;
    scrollY_ = y;
}

}  // namespace orvix
