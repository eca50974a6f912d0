#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "errors.h"
#include "pages/page_strip.h"

namespace orvix {
namespace {

// Page k carries k in its pixel and "p<k>" in its record, so order and the
// pairing of images with records can both be read back.
PageStrip stripOf(int pages, int selected) {
    PageStrip strip;
    for (int k = 0; k < pages; ++k) {
        const int i = strip.append();
        strip.setImage(i, Image(1, 1, Rgb{static_cast<std::uint8_t>(k), 0, 0}));
        strip.record(i).pageName = "p" + std::to_string(k);
    }
    strip.select(selected);
    return strip;
}

std::vector<int> order(const PageStrip& strip) {
    std::vector<int> ids;
    for (int i = 0; i < strip.count(); ++i) {
        const int id = strip.image(i).pixel(0, 0).r;
        EXPECT_EQ(strip.record(i).pageName, "p" + std::to_string(id)) << "record left its page at " << i;
        ids.push_back(id);
    }
    return ids;
}

TEST(PageStrip, AppendSelectsTheNewPageAndReturnsItsIndex) {
    PageStrip strip;
    EXPECT_EQ(strip.selected(), -1);
    EXPECT_EQ(strip.append(), 0);
    EXPECT_EQ(strip.append(), 1);
    EXPECT_EQ(strip.count(), 2);
    EXPECT_EQ(strip.selected(), 1);
    EXPECT_TRUE(strip.image(1).empty());
}

TEST(PageStrip, SelectIgnoresOutOfRangeAndUnchanged) {
    struct Case { int index; int expected; bool changes; };
    const Case cases[] = {{-1, 1, false}, {3, 1, false}, {1, 1, false}, {0, 0, true}, {2, 2, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        PageStrip strip = stripOf(3, 1);
        const auto before = strip.revision();
        strip.select(c.index);
        EXPECT_EQ(strip.selected(), c.expected);
        EXPECT_EQ(strip.revision() != before, c.changes);
    }
}

TEST(PageStrip, RemoveFollowsTheReselectRule) {
    struct Case { const char* name; int pages, selected, removed; std::vector<int> order; int expected; };
    const Case cases[] = {
        {"selected middle: its follower", 3, 1, 1, {0, 2}, 1},
        {"selected last: the new last", 3, 2, 2, {0, 1}, 1},
        {"selected first", 3, 0, 0, {1, 2}, 0},
        {"only page", 1, 0, 0, {}, -1},
        {"before the selection: same page", 3, 2, 0, {1, 2}, 1},
        {"after the selection: same page", 3, 0, 2, {0, 1}, 0},
        {"past the end: ignored", 3, 1, 3, {0, 1, 2}, 1},
        {"far past the end: ignored", 3, 1, 99, {0, 1, 2}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PageStrip strip = stripOf(c.pages, c.selected);
        strip.remove(c.removed);
        EXPECT_EQ(order(strip), c.order);
        EXPECT_EQ(strip.selected(), c.expected);
    }
}

TEST(PageStrip, NegativeIndexesThrowAndLeaveTheStripIntact) {
    PageStrip strip = stripOf(2, 1);
    const std::pair<const char*, std::function<void()>> calls[] = {
        {"remove", [&] { strip.remove(-1); }},
        {"image", [&] { (void)strip.image(-1); }},
        {"record", [&] { (void)strip.record(-1); }},
        {"setImage", [&] { strip.setImage(-1, Image(1, 1)); }},
        {"insert", [&] { strip.insert(-1); }},
    };
    for (const auto& [name, call] : calls) {
        SCOPED_TRACE(name);
        try {
            call();
            ADD_FAILURE() << "no error";
        } catch (const ListIndexError& e) {
            EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
        }
        EXPECT_EQ(order(strip), (std::vector<int>{0, 1}));
        EXPECT_EQ(strip.selected(), 1);
    }
}

TEST(PageStrip, PageAccessPastTheEndThrowsWithTheIndex) {
    PageStrip strip = stripOf(2, 0);
    EXPECT_THROW((void)strip.image(2), ListIndexError);
    EXPECT_THROW(strip.setImage(2, Image(1, 1)), ListIndexError);
    try {
        (void)strip.record(7);
        ADD_FAILURE() << "no error";
    } catch (const ListIndexError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (7)");
    }
    EXPECT_EQ(order(strip), (std::vector<int>{0, 1}));
}

TEST(PageStrip, MoveAndItsIgnoreRules) {
    struct Case { const char* name; int from, to; std::vector<int> order; };
    // Four pages, page 2 selected; the selection must keep its number throughout.
    const Case cases[] = {
        {"up", 2, 1, {0, 2, 1, 3}},
        {"down", 1, 2, {0, 2, 1, 3}},
        {"far up", 3, 0, {3, 0, 1, 2}},
        {"far down", 0, 3, {1, 2, 3, 0}},
        {"past the end goes last", 1, 9, {0, 2, 3, 1}},
        {"last down stays last", 3, 4, {0, 1, 2, 3}},
        {"first up", 0, -1, {0, 1, 2, 3}},
        {"onto itself", 2, 2, {0, 1, 2, 3}},
        {"from before the first", -1, 0, {0, 1, 2, 3}},
        {"from past the end", 4, 0, {0, 1, 2, 3}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PageStrip strip = stripOf(4, 2);
        const auto before = strip.revision();
        strip.move(c.from, c.to);
        EXPECT_EQ(order(strip), c.order);
        EXPECT_EQ(strip.selected(), 2);
        EXPECT_EQ(strip.revision() != before, c.order != std::vector<int>({0, 1, 2, 3}));
    }
}

TEST(PageStrip, MoveSelectedToKeepsTheMovedPageSelected) {
    struct Case { const char* name; int selected, index; std::vector<int> order; int expected; };
    // Four pages.
    const Case cases[] = {
        {"on itself", 1, 1, {0, 1, 2, 3}, 1},
        {"just below itself", 1, 2, {0, 1, 2, 3}, 1},
        {"before a later page", 0, 2, {1, 0, 2, 3}, 1},
        {"past the end", 1, 4, {0, 2, 3, 1}, 3},
        {"beyond the end", 1, 40, {0, 2, 3, 1}, 3},
        {"to the top", 3, 0, {3, 0, 1, 2}, 0},
        {"above the top", 2, -5, {2, 0, 1, 3}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PageStrip strip = stripOf(4, c.selected);
        strip.moveSelectedTo(c.index);
        EXPECT_EQ(order(strip), c.order);
        EXPECT_EQ(strip.selected(), c.expected);
    }
}

TEST(PageStrip, MoveSelectedToOnAnEmptyStripDoesNothing) {
    PageStrip strip;
    strip.moveSelectedTo(0);
    EXPECT_EQ(strip.count(), 0);
    EXPECT_EQ(strip.selected(), -1);
}

TEST(PageStrip, InsertionIndexAtClientPoint) {
    // Cells are 104 x 104 (4-pixel gap plus 100-pixel thumbnail), one column.
    struct Case { const char* name; int pages, scrollX, scrollY, x, y, expected; };
    const Case cases[] = {
        {"first thumbnail", 3, 0, 0, 50, 50, 0},
        {"gap above the second", 3, 0, 0, 50, 105, 1},
        {"last pixel of the first cell", 3, 0, 0, 103, 103, 0},
        {"right of the column: next row", 3, 0, 0, 110, 50, 1},
        {"far right of the column", 3, 0, 0, 1000, 110, 2},
        {"below the last", 3, 0, 0, 50, 350, 3},
        {"far below the last", 3, 0, 0, 50, 5000, 3},
        {"right of the last row", 3, 0, 0, 110, 250, 3},
        {"scrolled down", 5, 0, 208, 50, 10, 2},
        {"scrolled to just above a cell", 5, 0, 200, 50, 3, 1},
        {"scrolled right past the column", 3, 60, 0, 50, 10, 1},
        {"empty strip", 0, 0, 0, 50, 50, 0},
        {"above the strip", 3, 0, 0, 50, -500, 0},
        {"huge coordinates", 3, 0, 0, 2147483600, 2147483600, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        PageStrip strip = stripOf(c.pages, 0);
        strip.setScroll(c.scrollX, c.scrollY);
        EXPECT_EQ(strip.insertionIndexAt(c.x, c.y), c.expected);
    }
}

TEST(PageStrip, ThumbnailsSitBelowAndRightOfTheirGaps) {
    const PageStrip strip = stripOf(3, 0);
    EXPECT_EQ(strip.thumbRect(0), (StripRect{4, 4, 104, 104}));
    EXPECT_EQ(strip.thumbRect(2), (StripRect{4, 212, 104, 312}));
    // The slot after the last page, for the drop mark.
    EXPECT_EQ(strip.thumbRect(3), (StripRect{4, 316, 104, 416}));
    EXPECT_THROW((void)strip.thumbRect(4), ListIndexError);
}

TEST(PageStrip, NewPagesCopyEncodingSettingsFromTheirNeighbour) {
    PageStrip strip;
    strip.append();
    EXPECT_EQ(strip.record(0), TIOParamsVals::forPage()) << "the first page keeps the defaults";

    TIOParamsVals& last = strip.record(0);
    last.tiffCompression = 4;
    last.jpegQuality = 50;
    last.dpiX = last.dpiY = 200;
    last.pdfPaperWidth = 612;

    strip.append();
    const TIOParamsVals& added = strip.record(1);
    EXPECT_EQ(added.tiffCompression, 4);
    EXPECT_EQ(added.jpegQuality, 50);
    EXPECT_EQ(added.dpiX, 0);
    EXPECT_EQ(added.pdfPaperWidth, 595);

    // Inserting copies from the page it displaces, not from the last page.
    strip.record(1).jpegQuality = 90;
    strip.insert(0);
    EXPECT_EQ(strip.record(0).jpegQuality, 50);
    EXPECT_EQ(strip.selected(), 0);
    strip.insert(3);
    EXPECT_EQ(strip.record(3).jpegQuality, 90);
}

TEST(PageStrip, RecordsStayWithTheirPagesThroughEveryChange) {
    PageStrip strip = stripOf(5, 2);
    strip.move(0, 3);
    strip.remove(1);
    strip.moveSelectedTo(0);
    strip.insert(2);
    strip.setImage(2, Image(1, 1, Rgb{9, 0, 0}));
    strip.record(2).pageName = "p9";
    strip.move(2, 9);
    strip.remove(0);
    // order() checks every page's record against its image.
    EXPECT_EQ(order(strip), (std::vector<int>{1, 0, 4, 9}));
}

TEST(PageStrip, ClearEmptiesAndDeselects) {
    PageStrip strip = stripOf(3, 1);
    strip.clear();
    EXPECT_EQ(strip.count(), 0);
    EXPECT_EQ(strip.selected(), -1);
    EXPECT_EQ(strip.append(), 0);
    EXPECT_EQ(strip.record(0), TIOParamsVals::forPage());
}

}  // namespace
}  // namespace orvix
