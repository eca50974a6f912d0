#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "errors.h"
#include "pages/edit/text_renderer.h"
#include "pages/edit/watermark.h"
#include "support/test_pump.h"
#include "support/test_shell.h"
#include "ui/edit/edit_tools.h"
#include "ui/edit/stamper.h"
#include "ui/frame.h"

namespace orvix {
namespace {

const std::string kSongTi = "\xcb\xce\xcc\xe5";    // 宋体
const std::string kChinese = "\xce\xc4\xd7\xd6";   // 文字

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlue{0, 0, 200};

// Page k: a plain colour of its own and a size of its own.
Image pageImage(int k) { return Image(60 + k, 40, Rgb{static_cast<std::uint8_t>(10 * k + 5), 100, 200}); }

// A picture whose every pixel is different, never near-white.
Image picture(int w, int h) {
    Image image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, Rgb{static_cast<std::uint8_t>(x % 200), static_cast<std::uint8_t>(y % 200), 77});
    return image;
}

// Remembers what it was asked to draw and marks the anchor pixel.
class FakeRenderer : public TextRenderer {
public:
    struct Call {
        Image before;
        int x, y;
        std::string text;
        TextStyle style;
    };
    std::vector<Call> calls;
    int failOnCall = -1;

    void draw(Image& image, int x, int y, std::string_view text, const TextStyle& style) override {
        if (static_cast<int>(calls.size()) == failOnCall) throw Error("no font");
        calls.push_back({image, x, y, std::string(text), style});
        image.setPixel(x, y, colorRefToRgb(style.colour));
    }
};

struct Rig {
    explicit Rig(int pages = 3, int selected = 0) {
        frame.beforeShowPage = [this] { ++shows; };
        for (int k = 0; k < pages; ++k) frame.ImageEnMView1.setImage(frame.ImageEnMView1.append(), pageImage(k));
        frame.ImageEnMView1.select(selected);
        if (selected >= 0) frame.Img1.image = pageImage(selected);
        frame.Img1.zoom = 42;
    }
    Rig(const Rig&) = delete;

    const Image& page(int i) const { return frame.ImageEnMView1.image(i); }
    void loadWatermark(Image image) {
        frame.img_watermark.image = std::move(image);
        stamper.watermarkLoaded();
    }

    test::TestShell shell;
    test::TestPump pump;
    TmyOrvixCamFrame frame{shell, pump};
    FakeRenderer renderer;
    Stamper stamper{frame, renderer};
    int shows = 0;
};

// What the page looks like with `mark` pasted at (x, y), worked out pixel by
// pixel from the destination side.
Image pasted(const Image& page, const Image& mark, int x, int y) {
    Image out = page;
    for (int py = 0; py < page.height(); ++py)
        for (int px = 0; px < page.width(); ++px) {
            const long long sx = static_cast<long long>(px) - x, sy = static_cast<long long>(py) - y;
            if (sx >= 0 && sy >= 0 && sx < mark.width() && sy < mark.height()) out.setPixel(px, py, mark.pixel(static_cast<int>(sx), static_cast<int>(sy)));
        }
    return out;
}

// Not a copy of the last page: the stamp ends by showing it, without
// selecting it or touching the zoom or the preview.
void expectLastPageShown(const Rig& r, int selected) {
    EXPECT_EQ(r.frame.Img1.image, r.page(r.frame.ImageEnMView1.count() - 1));
    EXPECT_EQ(r.frame.ImageEnMView1.selected(), selected);
    EXPECT_EQ(r.frame.Img1.zoom, 42);
    EXPECT_EQ(r.shows, 0);
    EXPECT_EQ(r.frame.img2.image, Image(r.page(r.frame.ImageEnMView1.count() - 1).width(), 40, kButtonFace));
}

TEST(DrawWaterMark, StampsTheResizedPictureOnEveryPage) {
    Rig r;
    r.loadWatermark(picture(300, 120));
    EXPECT_TRUE(r.stamper.drawWaterMark(10, 10, 100, 50));
    const Image& mark = r.frame.img_watermark.image;
    ASSERT_EQ(mark.width(), 100);
    ASSERT_EQ(mark.height(), 50);
    EXPECT_EQ(mark.pixel(1, 1), picture(300, 120).pixel(3, 2));  // nearest pixel, ratios 3 and 2.4
    for (int k = 0; k < 3; ++k) EXPECT_EQ(r.page(k), pasted(pageImage(k), mark, 10, 10)) << k;
    expectLastPageShown(r, 0);
}

TEST(DrawWaterMark, PlacementAndSizes) {
    struct Case {
        const char* name;
        int x, y, width, height;
        int expectW, expectH;
    };
    const Case cases[] = {
        {"negative offsets cut the top left off", -20, -20, 100, 100, 100, 100},
        {"past the right and bottom edges", 50, 30, 30, 30, 30, 30},
        {"wholly outside", 500, 0, 10, 10, 10, 10},
        {"0 keeps the picture's own size", 5, 5, 0, 0, 40, 20},
        {"-1 keeps the aspect ratio", 0, 0, 10, -1, 10, 5},
        {"negative counts as positive", 0, 0, -8, 3, 8, 3},
        {"offsets at the int limits", INT_MAX, INT_MIN, 4, 4, 4, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r(2);
        r.loadWatermark(picture(40, 20));
        EXPECT_TRUE(r.stamper.drawWaterMark(c.x, c.y, c.width, c.height));
        const Image& mark = r.frame.img_watermark.image;
        ASSERT_EQ(mark.width(), c.expectW);
        ASSERT_EQ(mark.height(), c.expectH);
        for (int k = 0; k < 2; ++k) EXPECT_EQ(r.page(k), pasted(pageImage(k), mark, c.x, c.y)) << k;
    }
}

TEST(DrawWaterMark, TheLowerRightPartLandsAtTheCornerForMinus20) {
    Rig r(1);
    r.loadWatermark(picture(100, 100));
    ASSERT_TRUE(r.stamper.drawWaterMark(-20, -20, 100, 100));
    EXPECT_EQ(r.page(0).pixel(0, 0), picture(100, 100).pixel(20, 20));
    EXPECT_EQ(r.page(0).pixel(59, 39), picture(100, 100).pixel(79, 59));
}

TEST(DrawWaterMark, ASecondCallResizesTheAlreadyResizedPicture) {
    // Columns 0..6 to 5 and then to 3 keep 0, 1, 4; straight to 3 would keep 0, 2, 4.
    Rig r(1);
    Image seven(7, 1);
    for (int x = 0; x < 7; ++x) seven.setPixel(x, 0, Rgb{static_cast<std::uint8_t>(x), 0, 0});
    r.loadWatermark(seven);
    ASSERT_TRUE(r.stamper.drawWaterMark(0, 0, 5, 1));
    ASSERT_TRUE(r.stamper.drawWaterMark(0, 0, 3, 1));
    EXPECT_EQ(r.page(0).pixel(0, 0).r, 0);
    EXPECT_EQ(r.page(0).pixel(1, 0).r, 1);
    EXPECT_EQ(r.page(0).pixel(2, 0).r, 4);
}

TEST(DrawWaterMark, NearWhiteOfThePictureLeavesThePageShowing) {
    Rig r(2);
    Image logo(4, 2, kWhite);
    logo.setPixel(1, 0, Rgb{10, 20, 30});
    logo.setPixel(2, 1, Rgb{249, 250, 250});
    logo.setPixel(3, 1, Rgb{250, 250, 250});
    r.loadWatermark(logo);
    // Resizing carries the transparency along.
    ASSERT_TRUE(r.stamper.drawWaterMark(3, 4, 8, 4));
    for (int k = 0; k < 2; ++k) {
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 8; ++x) {
                const Rgb src = logo.pixel(x / 2, y / 2);
                const bool clear = src.r >= 250 && src.g >= 250 && src.b >= 250;
                EXPECT_EQ(r.page(k).pixel(3 + x, 4 + y), clear ? pageImage(k).pixel(0, 0) : src) << x << "," << y;
            }
    }
}

TEST(DrawWaterMark, APictureReplacedWithoutTheLoadedStepIsOpaque) {
    Rig r(1);
    r.loadWatermark(Image(3, 3, kWhite));
    r.frame.img_watermark.image = Image(5, 2, kWhite);
    ASSERT_TRUE(r.stamper.drawWaterMark(0, 0, 0, 0));
    EXPECT_EQ(r.page(0).pixel(4, 1), kWhite);
}

TEST(DrawWaterMark, RefusedCallsLeaveEverythingAlone) {
    struct Case { const char* name; int pages; bool loaded; int width, height; };
    const Case cases[] = {
        {"no pages", 0, true, 10, 10},
        {"no picture ever loaded", 2, false, 10, 10},
        {"both sizes -1", 2, true, -1, -1},
        {"both sizes negative", 2, true, -4, -6},
        {"a picture of gigabytes", 2, true, INT_MAX, INT_MAX},
        {"most negative sizes", 2, true, 1, INT_MIN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r(c.pages, c.pages - 1);
        if (c.loaded) r.loadWatermark(picture(6, 4));
        const Image view = r.frame.Img1.image;
        const Image mark = r.frame.img_watermark.image;
        EXPECT_FALSE(r.stamper.drawWaterMark(1, 1, c.width, c.height));
        for (int k = 0; k < c.pages; ++k) EXPECT_EQ(r.page(k), pageImage(k));
        EXPECT_EQ(r.frame.img_watermark.image, mark);
        EXPECT_EQ(r.frame.Img1.image, view);
    }
}

TEST(DrawWaterMark, StampsAreForGoodAndDropTheEditUndo) {
    Rig r(2, 1);
    EditTools tools(r.frame, r.shell);
    tools.btn1Click();
    r.loadWatermark(picture(5, 5));
    ASSERT_TRUE(r.stamper.drawWaterMark(0, 0, 5, 5));
    const Image stamped = r.page(1);
    tools.btn10Click();
    EXPECT_EQ(r.page(1), stamped);
}

TEST(DrawText, EveryPageGoesThroughTheScratchImageWithTheStyle) {
    struct Case {
        const char* name;
        std::function<void(Stamper&)> call;
        std::string face;
        int points;
        std::uint32_t colour;
    };
    const Case cases[] = {
        {"drawText red", [](Stamper& s) { s.drawText(3, 4, "abc", 12, 255, 0, 0); }, kSongTi, 12, 0x0000FF},
        {"drawText blue", [](Stamper& s) { s.drawText(3, 4, "abc", 9, 0, 0, 255); }, kSongTi, 9, 0xFF0000},
        // Not clamped: 256 red spills into green.
        {"drawText red 256", [](Stamper& s) { s.drawText(3, 4, "abc", 12, 256, 0, 0); }, kSongTi, 12, 0x000100},
        {"drawTextTo", [](Stamper& s) { s.drawTextTo(3, 4, "abc", "Arial", 20, 1, 2, 3, 128); }, "Arial", 20, 0x030201},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r;
        c.call(r.stamper);
        ASSERT_EQ(r.renderer.calls.size(), 3u);
        for (int k = 0; k < 3; ++k) {
            const auto& call = r.renderer.calls[static_cast<std::size_t>(k)];
            EXPECT_EQ(call.before, pageImage(k));
            EXPECT_EQ(call.x, 3);
            EXPECT_EQ(call.y, 4);
            EXPECT_EQ(call.text, "abc");
            EXPECT_EQ(call.style.face, c.face);
            EXPECT_EQ(call.style.points, c.points);
            EXPECT_TRUE(call.style.bold);
            EXPECT_EQ(call.style.colour, c.colour);
            EXPECT_EQ(r.page(k).pixel(3, 4), colorRefToRgb(c.colour));
        }
        expectLastPageShown(r, 0);
    }
}

TEST(DrawText, AlphaHasNoEffect) {
    Rig a, b;
    a.stamper.drawTextTo(1, 1, "x", "Arial", 10, 9, 8, 7, 0);
    b.stamper.drawTextTo(1, 1, "x", "Arial", 10, 9, 8, 7, 255);
    for (int k = 0; k < 3; ++k) EXPECT_EQ(a.page(k), b.page(k));
}

TEST(DrawText, AFailureStopsSilentlyAndKeepsWhatWasStamped) {
    Rig r;
    r.renderer.failOnCall = 2;
    const Image view = r.frame.Img1.image;
    r.stamper.drawText(0, 0, "abc", 12, 255, 0, 0);
    EXPECT_NE(r.page(0), pageImage(0));
    EXPECT_NE(r.page(1), pageImage(1));
    EXPECT_EQ(r.page(2), pageImage(2));
    EXPECT_EQ(r.frame.Img1.image, view);
}

TEST(DrawText, NoPagesNoDrawing) {
    Rig r(0, -1);
    r.stamper.drawText(0, 0, "abc", 12, 255, 0, 0);
    r.stamper.drawTextTo(0, 0, "abc", "Arial", 12, 255, 0, 0, 0);
    EXPECT_TRUE(r.renderer.calls.empty());
}

TEST(TextColour, ShiftedAndCombinedWithoutClamping) {
    struct Case { int r, g, b; std::uint32_t value; };
    const Case cases[] = {
        {255, 0, 0, 0x0000FF}, {0, 255, 0, 0x00FF00}, {0, 0, 255, 0xFF0000}, {1, 2, 3, 0x030201},
        {256, 0, 0, 0x000100}, {0, 0, 256, 0x1000000}, {-1, 0, 0, 0xFFFFFFFF},
    };
    for (const auto& c : cases) EXPECT_EQ(colorRef(c.r, c.g, c.b), c.value) << c.r << "," << c.g << "," << c.b;
    EXPECT_EQ(colorRefToRgb(0x000100), Rgb({0, 1, 0}));
    EXPECT_EQ(colorRefToRgb(0xAA030201), Rgb({1, 2, 3}));
}

TEST(TextColour, PointsToPixelsAt96PerInch) {
    const std::pair<int, int> cases[] = {{12, 16}, {9, 12}, {10, 13}, {11, 15}, {1, 1}, {0, 0}, {-12, -16}, {72, 96}};
    for (auto [points, pixels] : cases) EXPECT_EQ(pointsToPixels(points), pixels) << points;
}

// The real renderer on a white page.
struct Ink {
    int count = 0;
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1;
    bool onlyColour = true;
};

Ink inkOf(const Image& image, Rgb colour) {
    Ink ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const Rgb p = image.pixel(x, y);
            if (p == kWhite) continue;
            if (p != colour) ink.onlyColour = false;
            ++ink.count;
            ink.left = std::min(ink.left, x);
            ink.top = std::min(ink.top, y);
            ink.right = std::max(ink.right, x);
            ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
}

TEST(SystemTextRenderer, DrawsInsideTheCellBelowAndRightOfTheAnchor) {
    const auto renderer = makeSystemTextRenderer();
    struct Case { const char* name; std::string text; std::string face; int points; Rgb colour; };
    const Case cases[] = {
        {"latin in song", "OrvixCam", kSongTi, 12, {255, 0, 0}},
        {"chinese in song", kChinese, kSongTi, 12, {0, 0, 255}},
        {"chinese borrowed by a latin face", kChinese, "DejaVu Sans", 20, {0, 128, 0}},
        {"near black", "Hg", kSongTi, 24, {0, 1, 0}},
        {"negative points", "Hg", kSongTi, -24, {0, 0, 0}},
    };
    constexpr int kX = 30, kY = 20;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Image page(300, 100, kWhite);
        renderer->draw(page, kX, kY, c.text, {c.face, c.points, true, colorRef(c.colour.r, c.colour.g, c.colour.b)});
        const int pixels = std::abs(pointsToPixels(c.points));
        const Ink ink = inkOf(page, c.colour);
        EXPECT_GT(ink.count, pixels);
        EXPECT_TRUE(ink.onlyColour);  // opaque, no background box
        // The cell: no higher than the anchor, no further left, at most one
        // and a half ems tall and about an em a character wide.
        EXPECT_GE(ink.top, kY);
        EXPECT_GE(ink.left, kX);
        EXPECT_LT(ink.bottom, kY + pixels * 3 / 2);
        EXPECT_LT(ink.right, kX + static_cast<int>(c.text.size()) * (pixels + 2));
        // Drawn from the top: the ink reaches the upper half of the cell.
        EXPECT_LT(ink.top, kY + pixels / 2);
    }
}

TEST(SystemTextRenderer, BoldIsHeavier) {
    const auto renderer = makeSystemTextRenderer();
    Image regular(200, 60, kWhite), bold(200, 60, kWhite);
    renderer->draw(regular, 5, 5, "Orvix", {kSongTi, 20, false, 0});
    renderer->draw(bold, 5, 5, "Orvix", {kSongTi, 20, true, 0});
    EXPECT_GT(inkOf(bold, {0, 0, 0}).count, inkOf(regular, {0, 0, 0}).count);
}

TEST(SystemTextRenderer, CutAtThePageEdgesAndRefusesAbsurdSizes) {
    const auto renderer = makeSystemTextRenderer();
    Image page(40, 12, kWhite);
    renderer->draw(page, -6, -5, "WWWWWWWWWWWW", {kSongTi, 14, true, 0});
    EXPECT_GT(inkOf(page, {0, 0, 0}).count, 0);
    for (auto [x, y] : {std::pair{INT_MAX, 0}, {0, INT_MAX}, {INT_MIN, INT_MIN}}) {
        Image untouched(40, 12, kWhite);
        renderer->draw(untouched, x, y, "abc", {kSongTi, 12, true, 0});
        EXPECT_EQ(untouched, Image(40, 12, kWhite));
    }
    EXPECT_THROW(renderer->draw(page, 0, 0, "a", {kSongTi, 0, true, 0}), Error);
    EXPECT_THROW(renderer->draw(page, 0, 0, "a", {kSongTi, INT_MAX, true, 0}), Error);
    EXPECT_THROW(renderer->draw(page, 0, 0, "a", {kSongTi, INT_MIN, true, 0}), Error);
}

TEST(SystemTextRenderer, StampingTextMarksEveryPageInsideTheBoxOnly) {
    test::TestShell shell;
    test::TestPump pump;
    TmyOrvixCamFrame frame(shell, pump);
    for (int k = 0; k < 2; ++k) frame.ImageEnMView1.setImage(frame.ImageEnMView1.append(), Image(200, 80, kWhite));
    const auto renderer = makeSystemTextRenderer();
    Stamper stamper(frame, *renderer);
    stamper.drawText(50, 30, "OrvixCam " + kChinese, 12, 255, 0, 0);
    for (int k = 0; k < 2; ++k) {
        const Ink ink = inkOf(frame.ImageEnMView1.image(k), {255, 0, 0});
        EXPECT_GT(ink.count, 50);
        EXPECT_TRUE(ink.onlyColour);
        EXPECT_GE(ink.left, 50);
        EXPECT_GE(ink.top, 30);
        EXPECT_LT(ink.bottom, 30 + 24);
        EXPECT_LT(ink.right, 50 + 11 * 18);
    }
    // A size no font has: silently nothing.
    const Image before = frame.ImageEnMView1.image(0);
    stamper.drawText(0, 0, "x", 0, 0, 0, 0);
    EXPECT_EQ(frame.ImageEnMView1.image(0), before);
}

}  // namespace
}  // namespace orvix
