#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "errors.h"
#include "support/test_pump.h"
#include "support/test_shell.h"
#include "ui/frame.h"
#include "ui/open_filter.h"

namespace orvix {
namespace {

namespace fs = std::filesystem;

// The frame's texts in GBK, written out here on their own.
const std::string kCaption = "\xcc\xe1\xca\xbe";                                   // 提示
const std::string kCount = "\xca\xfd\xc1\xbf:";                                    // 数量:
const std::string kConfirm =                                                      // 真的删除这幅扫描结果吗？
    "\xd5\xe6\xb5\xc4\xc9\xbe\xb3\xfd\xd5\xe2\xb7\xf9\xc9\xa8\xc3\xe8\xbd\xe1\xb9\xfb\xc2\xf0\xa3\xbf";
const std::string kSelectFirst =                                                  // 请先选择要删除的图像!
    "\xc7\xeb\xcf\xc8\xd1\xa1\xd4\xf1\xd2\xaa\xc9\xbe\xb3\xfd\xb5\xc4\xcd\xbc\xcf\xf1!";
const std::string kNoImages = "\xb5\xb1\xc7\xb0\xc3\xbb\xd3\xd0\xcd\xbc\xcf\xf1\xca\xfd\xbe\xdd!";  // 当前没有图像数据!

// Page k: its own size and colour, so both order and what the main view shows
// can be told apart.
Image pageImage(int k) { return Image(20 + k, 10, Rgb{static_cast<std::uint8_t>(10 * k + 5), 100, 200}); }

int pageId(const Image& image) { return image.empty() ? -1 : (image.pixel(0, 0).r - 5) / 10; }

// A frame on scripted seams, with `pages` pages and `selected` shown in the
// main view, as the capture code would leave it.
struct Rig {
    Rig(int pages = 0, int selected = -1) {
        frame.beforeShowPage = [this] { ++shows; };
        frame.Img1.clientWidth = 400;
        frame.Img1.clientHeight = 300;
        for (int k = 0; k < pages; ++k) frame.ImageEnMView1.setImage(frame.ImageEnMView1.append(), pageImage(k));
        frame.ImageEnMView1.select(selected);
        if (selected >= 0) frame.Img1.image = pageImage(selected);
        frame.updateCountLabel();
    }
    Rig(const Rig&) = delete;

    std::vector<int> order() const {
        std::vector<int> ids;
        for (int i = 0; i < frame.ImageEnMView1.count(); ++i) ids.push_back(pageId(frame.ImageEnMView1.image(i)));
        return ids;
    }

    test::TestShell shell;
    test::TestPump pump;
    TmyOrvixCamFrame frame{shell, pump};
    int shows = 0;
};

TEST(FramePages, StartsEmptyWithAZeroCount) {
    Rig r;
    EXPECT_EQ(r.frame.lblPicNumbers, kCount + "0");
    EXPECT_EQ(r.frame.getImageCount(), 0);
    EXPECT_EQ(r.frame.Img1.record.dpiX, 300);
}

TEST(FramePages, DeleteKeyAsksAndActsOnTheAnswer) {
    struct Case {
        const char* name;
        int pages, selected;
        unsigned shiftState;
        int answer;
        std::vector<int> order;
        int selectedAfter, shownAfter;
        int label, shows, pumps;
    };
    const Case cases[] = {
        // Yes: delete, show the page now selected, refresh the count, pump.
        {"yes on a middle page", 3, 1, 0, mb::kIdYes, {0, 2}, 1, 2, 2, 1, 2},
        {"yes on the last page, shift ignored", 3, 2, shift::kShift, mb::kIdYes, {0, 1}, 1, 1, 2, 1, 2},
        // The deleted image stays in view; showing "nothing" still stops a preview.
        {"yes on the only page", 1, 0, 0, mb::kIdYes, {}, -1, 0, 0, 1, 1},
        {"no", 3, 1, 0, mb::kIdNo, {0, 1, 2}, 1, 1, 3, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r(c.pages, c.selected);
        r.shell.answers.push_back(c.answer);

        int key = kDeleteKey;
        r.frame.ImageEnMView1KeyUp(key, c.shiftState);

        EXPECT_EQ(key, 0);
        ASSERT_EQ(r.shell.messageBoxes.size(), 1u);
        EXPECT_EQ(r.shell.messageBoxes[0], (test::MessageBoxCall{kConfirm, kCaption, 292}));
        EXPECT_EQ(r.order(), c.order);
        EXPECT_EQ(r.frame.ImageEnMView1.selected(), c.selectedAfter);
        EXPECT_EQ(pageId(r.frame.Img1.image), c.shownAfter);
        EXPECT_EQ(r.frame.lblPicNumbers, kCount + std::to_string(c.label));
        EXPECT_EQ(r.shows, c.shows);
        EXPECT_EQ(r.pump.pumps, c.pumps);
    }
}

TEST(FramePages, OtherKeysAndDeleteWithoutSelectionPassThrough) {
    struct Case { const char* name; int pages, key; };
    const Case cases[] = {{"enter", 2, 13}, {"backspace", 2, 8}, {"delete on an empty strip", 0, kDeleteKey}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r(c.pages, c.pages - 1);

        int key = c.key;
        r.frame.ImageEnMView1KeyUp(key, 0);

        EXPECT_EQ(key, c.key);
        EXPECT_TRUE(r.shell.messageBoxes.empty());
        EXPECT_EQ(r.frame.getImageCount(), c.pages);
        EXPECT_EQ(r.pump.pumps, 0);
    }
}

TEST(FramePages, MenuAndButtonDeleteAskTheSameQuestion) {
    const std::pair<const char*, void (TmyOrvixCamFrame::*)()> handlers[] = {
        {"N2", &TmyOrvixCamFrame::N2Click}, {"btn13", &TmyOrvixCamFrame::btn13Click}};
    for (const auto& [name, handler] : handlers) {
        SCOPED_TRACE(name);
        Rig r(3, 0);
        r.shell.answers.push_back(mb::kIdYes);

        (r.frame.*handler)();

        ASSERT_EQ(r.shell.messageBoxes.size(), 1u);
        EXPECT_EQ(r.shell.messageBoxes[0].text, kConfirm);
        EXPECT_EQ(r.order(), (std::vector<int>{1, 2}));
        EXPECT_EQ(pageId(r.frame.Img1.image), 1);
        EXPECT_EQ(r.frame.lblPicNumbers, kCount + "2");
    }
}

TEST(FramePages, DeleteButtonWithoutSelectionOnlyTells) {
    Rig r;
    r.frame.btn13Click();
    ASSERT_EQ(r.shell.messageBoxes.size(), 1u);
    EXPECT_EQ(r.shell.messageBoxes[0], (test::MessageBoxCall{kSelectFirst, kCaption, 64}));
    EXPECT_EQ(r.frame.getImageCount(), 0);
    EXPECT_EQ(r.shows, 0);
}

TEST(FramePages, PagesClearedWhileTheQuestionIsOpenAreNotDeletedTwice) {
    Rig r(3, 2);
    r.shell.whileMessageBoxOpen = [&] { r.frame.clearAll(); };
    r.shell.answers.push_back(mb::kIdYes);
    int key = kDeleteKey;
    r.frame.ImageEnMView1KeyUp(key, 0);
    EXPECT_EQ(r.frame.getImageCount(), 0);
    EXPECT_EQ(r.frame.ImageEnMView1.selected(), -1);
    EXPECT_EQ(r.frame.lblPicNumbers, kCount + "0");
    EXPECT_EQ(key, 0);
}

TEST(FramePages, MoveCommandsOnAnEmptyStripTell) {
    for (auto handler : {&TmyOrvixCamFrame::N3Click, &TmyOrvixCamFrame::N4Click}) {
        Rig r;
        (r.frame.*handler)();
        ASSERT_EQ(r.shell.messageBoxes.size(), 1u);
        EXPECT_EQ(r.shell.messageBoxes[0], (test::MessageBoxCall{kNoImages, kCaption, 64}));
        EXPECT_EQ(r.frame.getImageCount(), 0);
    }
}

TEST(FramePages, MoveCommandsMoveTheSelectedPageQuietly) {
    struct Case { const char* name; void (TmyOrvixCamFrame::*handler)(); int selected; std::vector<int> order; };
    const Case cases[] = {
        {"page 2 up", &TmyOrvixCamFrame::N3Click, 2, {0, 2, 1}},
        {"first up", &TmyOrvixCamFrame::N3Click, 0, {0, 1, 2}},
        {"page 0 down", &TmyOrvixCamFrame::N4Click, 0, {1, 0, 2}},
        {"last down", &TmyOrvixCamFrame::N4Click, 2, {0, 1, 2}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r(3, c.selected);

        (r.frame.*c.handler)();

        EXPECT_EQ(r.order(), c.order);
        EXPECT_EQ(r.frame.ImageEnMView1.selected(), c.selected);
        EXPECT_EQ(pageId(r.frame.Img1.image), c.selected) << "the main view keeps its content";
        EXPECT_TRUE(r.shell.messageBoxes.empty());
        EXPECT_EQ(r.shows, 0);
    }
}

TEST(FramePages, DeleteAtByIndex) {
    struct Case { int id; std::vector<int> order; int selected; };
    const Case cases[] = {
        {5, {0, 1, 2, 3, 4}, 2},
        {50, {0, 1, 2, 3, 4}, 2},
        {0, {1, 2, 3, 4}, 1},
        {2, {0, 1, 3, 4}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        Rig r(5, 2);

        EXPECT_TRUE(r.frame.deleteAt(c.id));

        EXPECT_EQ(r.order(), c.order);
        EXPECT_EQ(r.frame.ImageEnMView1.selected(), c.selected);
        EXPECT_EQ(r.frame.lblPicNumbers, kCount + std::to_string(c.order.size()));
        EXPECT_EQ(pageId(r.frame.Img1.image), 2) << "the main view is left alone";
        EXPECT_EQ(r.shows, 0);
    }
}

TEST(FramePages, DeleteAtNegativeFailsAndKeepsEverything) {
    Rig r(3, 1);
    try {
        r.frame.deleteAt(-1);
        ADD_FAILURE() << "no error";
    } catch (const ListIndexError& e) {
        EXPECT_STREQ(e.what(), "List index out of bounds (-1)");
    }
    EXPECT_EQ(r.order(), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(r.frame.ImageEnMView1.selected(), 1);
    EXPECT_EQ(r.frame.lblPicNumbers, kCount + "3");
}

TEST(FramePages, ClearAllPaintsTheViewsAndEmptiesTheStrip) {
    Rig r(2, 1);
    r.frame.img2.image = Image(7, 5, Rgb{1, 2, 3});
    r.frame.img_watermark.image = Image(4, 9, Rgb{9, 8, 7});

    r.frame.clearAll();

    EXPECT_EQ(r.frame.Img1.image, Image(pageImage(1).width(), pageImage(1).height(), kButtonFace));
    EXPECT_EQ(r.frame.img2.image, Image(7, 5, kButtonFace));
    EXPECT_EQ(r.frame.img_watermark.image, Image(4, 9, kButtonFace));
    EXPECT_EQ(r.frame.getImageCount(), 0);
    EXPECT_EQ(r.frame.ImageEnMView1.selected(), -1);
    EXPECT_EQ(r.frame.lblPicNumbers, kCount + "0");
    EXPECT_EQ(r.shows, 0) << "a running preview is not stopped";
    EXPECT_TRUE(r.shell.messageBoxes.empty());
}

TEST(FramePages, SetExportParamsForcesTheTwoCompressionsOnEveryPage) {
    Rig r;
    r.frame.setExportParams();  // an empty strip: nothing to do
    Rig pages(3, 0);
    TmyOrvixCamFrame& frame = pages.frame;
    frame.ImageEnMView1.record(1).jpegQuality = 42;
    frame.ImageEnMView1.record(2).dpiX = 150;
    std::vector<TIOParamsVals> expected;
    for (int i = 0; i < 3; ++i) {
        expected.push_back(frame.ImageEnMView1.record(i));
        expected.back().tiffCompression = 7;
        expected.back().pdfCompression = 5;
    }
    const TIOParamsVals view = frame.Img1.record;

    frame.setExportParams();

    for (int i = 0; i < 3; ++i) EXPECT_EQ(frame.ImageEnMView1.record(i), expected[i]) << i;
    EXPECT_EQ(frame.Img1.record, view);
}

TEST(FramePages, ShowPageRunsTheBeforeShowStepEvenForNoPage) {
    Rig r(2, 0);
    const Image before = r.frame.Img1.image;

    r.frame.ImageEnMView1ImageSelect(-1);
    EXPECT_EQ(r.shows, 1);
    EXPECT_EQ(r.frame.Img1.image, before);
    EXPECT_EQ(r.pump.pumps, 0);

    r.frame.ImageEnMView1ImageSelect(1);
    EXPECT_EQ(r.shows, 2);
    EXPECT_EQ(r.frame.Img1.image, pageImage(1));
    EXPECT_EQ(r.pump.pumps, 1);

    EXPECT_THROW(r.frame.ImageEnMView1ImageSelect(2), ListIndexError);
    EXPECT_EQ(r.frame.Img1.image, pageImage(1));
}

TEST(FramePages, ShowPageFitsTheWidth) {
    Rig r;
    r.frame.ImageEnMView1.setImage(r.frame.ImageEnMView1.append(), Image(200, 100));
    r.frame.ImageEnMView1.setImage(r.frame.ImageEnMView1.append(), Image(200, 400));
    r.frame.ImageEnMView1ImageSelect(0);
    EXPECT_DOUBLE_EQ(r.frame.Img1.zoom, 100.0 * 400 / 200);
    r.frame.ImageEnMView1ImageSelect(1);
    EXPECT_DOUBLE_EQ(r.frame.Img1.zoom, 100.0 * (400 - 17) / 200) << "room left by the scroll bar";
}

TEST(MainViewZoom, FitToWidth) {
    struct Case { int imageW, imageH, clientW, clientH; std::optional<double> zoom; };
    const Case cases[] = {
        {200, 100, 400, 300, 100.0 * 400 / 200},
        {800, 600, 400, 300, 100.0 * 400 / 800},        // exactly as tall as the view: no scroll bar
        {800, 601, 400, 300, 100.0 * (400 - 17) / 800},  // one row taller: the bar takes 17 pixels
        {200, 400, 400, 300, 100.0 * (400 - 17) / 200},
        {0, 0, 400, 300, std::nullopt},
        {200, 100, 0, 0, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.imageW << "x" << c.imageH << " in " << c.clientW);
        EXPECT_EQ(MainView::fitToWidthZoom(c.imageW, c.imageH, c.clientW, c.clientH, 17), c.zoom);
    }
}

TEST(MainViewZoom, FitWhole) {
    struct Case { int imageW, imageH; std::optional<double> zoom; };
    const Case cases[] = {
        {800, 600, 50.0},
        {300, 600, 50.0},
        {1600, 300, 25.0},
        {100, 50, 400.0},  // small images are enlarged
        {0, 10, std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.imageW << "x" << c.imageH);
        EXPECT_EQ(MainView::fitZoom(c.imageW, c.imageH, 400, 300), c.zoom);
    }
}

TEST(FramePages, LeftButtonMoveStartsADrag) {
    struct Case { unsigned shiftState; bool drags; };
    const Case cases[] = {{shift::kLeft, true},   {shift::kLeft | shift::kCtrl, true}, {0, false},
                          {shift::kRight, false}, {shift::kShift | shift::kCtrl, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shiftState);
        Rig r(2, 0);
        const PageStrip& strip = r.frame.ImageEnMView1;
        r.frame.ImageEnMView1MouseMove(c.shiftState, 10, 10);
        EXPECT_EQ(strip.dragging(), c.drags);
        EXPECT_EQ(strip.mouseInteract(), c.drags ? MouseInteract::None : MouseInteract::Select);

        r.frame.ImageEnMView1EndDrag();
        EXPECT_FALSE(strip.dragging());
        EXPECT_EQ(strip.mouseInteract(), MouseInteract::Select);
    }
}

TEST(FramePages, DragOverMarksTheTopEdgeOfTheTargetThumbnail) {
    struct Case { const char* name; int scrollY, x, y, lineY; };
    // Three pages; thumbnails at x 4..104 and y 4, 108, 212; the line runs
    // 10 pixels in from each side.
    const Case cases[] = {
        {"over the first", 0, 50, 50, 4},
        {"over the second", 0, 50, 150, 108},
        {"right of the first: after it", 0, 110, 50, 108},
        {"scrolled", 100, 50, 50, 108 - 100},
        // After the last page: the free slot under the last thumbnail.
        {"below the last", 0, 50, 400, 316},
    };
    Rig r(3, 0);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        r.frame.ImageEnMView1.setScroll(0, c.scrollY);
        const DragOverResult result = r.frame.ImageEnMView1DragOver(true, c.x, c.y);
        EXPECT_TRUE(result.accept);
        ASSERT_TRUE(result.marker);
        EXPECT_EQ(*result.marker, (DropMarker{14, c.lineY, 94, c.lineY, Rgb{255, 0, 0}, 2}));
    }
    r.frame.ImageEnMView1.setScroll(0, 0);
    const int lastBottom = r.frame.ImageEnMView1.thumbRect(2).bottom;
    EXPECT_GT(r.frame.ImageEnMView1DragOver(true, 50, 400).marker->y1, lastBottom);
}

TEST(FramePages, DragOverRefusesOtherSources) {
    Rig r(2, 0);
    const DragOverResult result = r.frame.ImageEnMView1DragOver(false, 50, 50);
    EXPECT_FALSE(result.accept);
    EXPECT_FALSE(result.marker);
}

TEST(FramePages, DropMovesTheSelectedPage) {
    struct Case { const char* name; int selected, y; std::vector<int> order; int selectedAfter; };
    // Four pages in cells 104 pixels high.
    const Case cases[] = {
        {"on itself", 1, 150, {0, 1, 2, 3}, 1},
        {"just below itself", 1, 250, {0, 1, 2, 3}, 1},
        {"below the last", 1, 1000, {0, 2, 3, 1}, 3},
        {"to the top", 3, 10, {3, 0, 1, 2}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r(4, c.selected);

        r.frame.ImageEnMView1MouseMove(shift::kLeft, 50, 50);
        r.frame.ImageEnMView1DragDrop(50, c.y);
        r.frame.ImageEnMView1EndDrag();

        EXPECT_EQ(r.order(), c.order);
        EXPECT_EQ(r.frame.ImageEnMView1.selected(), c.selectedAfter);
        EXPECT_EQ(pageId(r.frame.ImageEnMView1.image(c.selectedAfter)), c.selected) << "the moved page stays selected";
        EXPECT_EQ(pageId(r.frame.Img1.image), c.selected);
        EXPECT_EQ(r.frame.ImageEnMView1.mouseInteract(), MouseInteract::Select);
        EXPECT_EQ(r.shows, 0);
    }
}

// Image files written byte by byte, so these tests need no encoder.
class FrameOpenFiles : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("orvix-open-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
               std::to_string(std::random_device{}()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        writePpm("a.ppm", 3, 2, kA);
        writePpm("b.ppm", 5, 4, kB);
        writeBmp96Dpi("c.bmp", 2, 2, kC);
        write("broken.ppm", "this is no picture at all");
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string path(const std::string& name) const { return (dir / name).string(); }

    void write(const std::string& name, const std::string& bytes) const {
        std::ofstream(dir / name, std::ios::binary) << bytes;
    }

    void writePpm(const std::string& name, int w, int h, Rgb c) const {
        std::string bytes = "P6\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
        for (int i = 0; i < w * h; ++i) bytes += {static_cast<char>(c.r), static_cast<char>(c.g), static_cast<char>(c.b)};
        write(name, bytes);
    }

    // 24-bit BMP with 3780 pixels per metre (96 dpi).
    void writeBmp96Dpi(const std::string& name, int w, int h, Rgb c) const {
        const int rowBytes = (w * 3 + 3) / 4 * 4;
        const int imageBytes = rowBytes * h;
        std::string b;
        auto u16 = [&](unsigned v) { b += {static_cast<char>(v & 0xff), static_cast<char>(v >> 8)}; };
        auto u32 = [&](unsigned v) { u16(v & 0xffff); u16(v >> 16); };
        b += "BM";
        u32(14 + 40 + imageBytes);
        u32(0);
        u32(14 + 40);
        u32(40);
        u32(w);
        u32(h);
        u16(1);
        u16(24);
        u32(0);
        u32(imageBytes);
        u32(3780);
        u32(3780);
        u32(0);
        u32(0);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) b += {static_cast<char>(c.b), static_cast<char>(c.g), static_cast<char>(c.r)};
            b.append(static_cast<std::size_t>(rowBytes - w * 3), '\0');
        }
        write(name, b);
    }

    Image fileImage(const std::string& name) const {
        if (name == "a.ppm") return Image(3, 2, kA);
        if (name == "b.ppm") return Image(5, 4, kB);
        if (name == "c.bmp") return Image(2, 2, kC);
        return {};
    }

    static constexpr Rgb kA{250, 1, 2}, kB{3, 251, 4}, kC{5, 6, 252};
    fs::path dir;
};

TEST_F(FrameOpenFiles, CancelChangesNothing) {
    Rig r(2, 1);
    const Image shown = r.frame.Img1.image;

    EXPECT_FALSE(r.frame.openMultiPictureWithDialog());

    ASSERT_EQ(r.shell.openFilesRequests.size(), 1u);
    const OpenFilesRequest& request = r.shell.openFilesRequests[0];
    EXPECT_EQ(request.filter, openImageFilter());
    EXPECT_EQ(request.filterIndex, 1);
    EXPECT_TRUE(request.multiSelect);
    EXPECT_TRUE(request.mustExist);
    EXPECT_TRUE(request.hideReadOnly);
    EXPECT_EQ(r.order(), (std::vector<int>{0, 1}));
    EXPECT_EQ(r.frame.ImageEnMView1.selected(), 1);
    EXPECT_EQ(r.frame.Img1.image, shown);
    EXPECT_EQ(r.frame.lblPicNumbers, kCount + "2");
    EXPECT_EQ(r.shows, 0);
    EXPECT_EQ(r.pump.pumps, 0);
}

TEST_F(FrameOpenFiles, ThreeFilesOntoTwoPages) {
    Rig r(2, 1);
    r.shell.openFilesAnswers.push_back(std::vector<std::string>{path("a.ppm"), path("b.ppm"), path("c.bmp")});

    EXPECT_TRUE(r.frame.openMultiPictureWithDialog());

    const PageStrip& strip = r.frame.ImageEnMView1;
    ASSERT_EQ(strip.count(), 5);
    EXPECT_EQ(r.frame.lblPicNumbers, kCount + "5");
    EXPECT_EQ(strip.image(2), fileImage("a.ppm"));
    EXPECT_EQ(strip.image(3), fileImage("b.ppm"));
    EXPECT_EQ(strip.image(4), fileImage("c.bmp"));
    EXPECT_EQ(strip.selected(), 0);
    EXPECT_EQ(r.frame.Img1.image, pageImage(0)) << "page 0 of the whole strip is shown";
    EXPECT_DOUBLE_EQ(r.frame.Img1.zoom, 100.0 * 400 / pageImage(0).width());
    EXPECT_EQ(r.shows, 1);
    // One pump per file, one in show page, one at the end.
    EXPECT_EQ(r.pump.pumps, 3 + 2);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(strip.record(i).tiffCompression, 7) << i;
        EXPECT_EQ(strip.record(i).pdfCompression, 5) << i;
    }
    // The main view's record says what the last file said.
    EXPECT_EQ(r.frame.Img1.record.dpiX, 96);
    EXPECT_EQ(r.frame.Img1.record.dpiY, 96);
    EXPECT_EQ(r.frame.Img1.record.bitsPerSample, 8);
    EXPECT_EQ(r.frame.Img1.record.samplesPerPixel, 3);
}

TEST_F(FrameOpenFiles, UnreadableFilesAreSkipped) {
    struct Case { const char* name; int existing; std::vector<std::string> files; bool result; };
    const Case cases[] = {
        {"undecodable in the middle", 1, {"a.ppm", "broken.ppm", "b.ppm"}, false},
        {"missing first", 0, {"missing.ppm", "a.ppm"}, false},
        {"nothing readable", 0, {"broken.ppm"}, false},
        {"nothing readable after pages", 2, {"broken.ppm", "missing.bmp"}, false},
        {"none chosen", 1, {}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r(c.existing, c.existing - 1);
        const Image marker(9, 9, Rgb{7, 7, 7});
        r.frame.Img1.image = marker;
        std::vector<std::string> paths;
        std::vector<Image> expected;
        for (int k = 0; k < c.existing; ++k) expected.push_back(pageImage(k));
        for (const auto& f : c.files) {
            paths.push_back(path(f));
            if (!fileImage(f).empty()) expected.push_back(fileImage(f));
        }
        r.shell.openFilesAnswers.push_back(paths);

        EXPECT_EQ(r.frame.openMultiPictureWithDialog(), c.result);

        ASSERT_EQ(r.frame.getImageCount(), static_cast<int>(expected.size()));
        for (int i = 0; i < r.frame.getImageCount(); ++i) EXPECT_EQ(r.frame.ImageEnMView1.image(i), expected[i]) << i;
        EXPECT_EQ(r.frame.lblPicNumbers, kCount + std::to_string(expected.size()));
        if (expected.empty()) {
            EXPECT_EQ(r.frame.Img1.image, marker);
            EXPECT_EQ(r.shows, 0);
        } else {
            EXPECT_EQ(r.frame.ImageEnMView1.selected(), 0);
            EXPECT_EQ(r.frame.Img1.image, expected[0]);
            EXPECT_EQ(r.shows, 1);
        }
        EXPECT_TRUE(r.shell.messageBoxes.empty());
    }
}

TEST_F(FrameOpenFiles, AFailedFileLeavesTheMainViewAsItWas) {
    Rig r;
    r.frame.Img1.image = Image(9, 9, Rgb{7, 7, 7});
    r.frame.Img1.record.dpiX = 123;
    const MainView before = r.frame.Img1;
    EXPECT_FALSE(r.frame.openImageFile(path("broken.ppm")));
    EXPECT_EQ(r.frame.Img1.image, before.image);
    EXPECT_EQ(r.frame.Img1.record, before.record);
    EXPECT_DOUBLE_EQ(r.frame.Img1.zoom, before.zoom);
    EXPECT_EQ(r.frame.getImageCount(), 0);
    EXPECT_EQ(r.pump.pumps, 0);
}

TEST(OpenFilter, EntriesPairDescriptionsWithTheirPatterns) {
    const auto entries = openImageFilterEntries();
    ASSERT_EQ(entries.size(), 28u);
    for (const auto& e : entries) {
        SCOPED_TRACE(std::string(e.description));
        // Every description ends with its own pattern list in parentheses.
        const std::string tail = " (" + std::string(e.patterns) + ")";
        ASSERT_GE(e.description.size(), tail.size());
        EXPECT_EQ(e.description.substr(e.description.size() - tail.size()), tail);
    }
    EXPECT_EQ(std::count(entries[0].patterns.begin(), entries[0].patterns.end(), ';') + 1, 26);
    EXPECT_EQ(entries[0].description.substr(0, 12), "\xd2\xbb\xb0\xe3\xcd\xbc\xcf\xf1\xce\xc4\xbc\xfe");  // 一般图像文件
    EXPECT_EQ(entries[1].description, "\xcb\xf9\xd3\xd0\xce\xc4\xbc\xfe (*.*)");                     // 所有文件
    EXPECT_EQ(entries[25].description, "Windows\xca\xd3\xc6\xb5 (*.avi)");                           // Windows视频
    EXPECT_EQ(entries[27].description, "Windows Media Video (*.wmv)");
}

TEST(OpenFilter, JoinedWithBarsInTurn) {
    const std::string filter = openImageFilter();
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t bar; (bar = filter.find('|', start)) != std::string::npos; start = bar + 1) {
        parts.push_back(filter.substr(start, bar - start));
    }
    parts.push_back(filter.substr(start));
    const auto entries = openImageFilterEntries();
    ASSERT_EQ(parts.size(), 2 * entries.size());
    for (std::size_t i = 0; i < entries.size(); ++i) {
        EXPECT_EQ(parts[2 * i], entries[i].description);
        EXPECT_EQ(parts[2 * i + 1], entries[i].patterns);
    }
}

}  // namespace
}  // namespace orvix
