#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "errors.h"
#include "pages/edit/resample.h"
#include "pages/edit/rotate.h"
#include "support/test_pump.h"
#include "support/test_shell.h"
#include "ui/edit/edit_tools.h"
#include "ui/frame.h"

namespace orvix {
namespace {

// The tools' texts in GBK, written out here on their own.
const std::string kCaption = "\xcc\xe1\xca\xbe";                                                    // 提示
const std::string kNoImages = "\xb5\xb1\xc7\xb0\xc3\xbb\xd3\xd0\xcd\xbc\xcf\xf1\xca\xfd\xbe\xdd!";  // 当前没有图像数据!
const std::string kNothingToEdit =                                                                // 当前没有可编辑的图像信息！
    "\xb5\xb1\xc7\xb0\xc3\xbb\xd3\xd0\xbf\xc9\xb1\xe0\xbc\xad\xb5\xc4\xcd\xbc\xcf\xf1\xd0\xc5\xcf\xa2\xa3\xa1";
const std::string kSelectToFill = "\xc7\xeb\xd1\xa1\xd4\xf1\xb4\xfd\xcc\xee\xb3\xe4\xc7\xf8\xd3\xf2!";  // 请选择待填充区域!

constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kRed{255, 0, 0};
constexpr Rgb kGreen{0, 255, 0};

// Page k: asymmetric, and its own from every other page and every turn.
Image pageImage(int k, int w = 6, int h = 4) {
    Image image(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.setPixel(x, y, Rgb{static_cast<std::uint8_t>(10 * k + 5), static_cast<std::uint8_t>(x * 30),
                                     static_cast<std::uint8_t>(y * 50)});
    return image;
}

// Black text on white: a black 2x2 block.
Image textPage() {
    Image image(6, 5, kWhite);
    for (int y = 1; y <= 2; ++y)
        for (int x = 2; x <= 3; ++x) image.setPixel(x, y, kBlack);
    return image;
}

// A frame on scripted seams with `pages` pages and `selected` shown in the
// main view, and the tools on it.
struct Rig {
    explicit Rig(std::vector<Image> pages = {pageImage(0), pageImage(1), pageImage(2)}, int selected = 1) {
        frame.beforeShowPage = [this] { ++shows; };
        frame.Img1.clientWidth = 400;
        frame.Img1.clientHeight = 300;
        for (const Image& p : pages) frame.ImageEnMView1.setImage(frame.ImageEnMView1.append(), p);
        frame.ImageEnMView1.select(selected);
        if (selected >= 0) frame.Img1.image = pages[static_cast<std::size_t>(selected)];
        frame.updateCountLabel();
    }
    Rig(const Rig&) = delete;

    const Image& page(int i) const { return frame.ImageEnMView1.image(i); }
    const Image& view() const { return frame.Img1.image; }
    // The user clicks a thumbnail.
    void click(int i) {
        frame.ImageEnMView1.select(i);
        frame.ImageEnMView1ImageSelect(i);
    }
    std::vector<Image> pages() const {
        std::vector<Image> all;
        for (int i = 0; i < frame.ImageEnMView1.count(); ++i) all.push_back(page(i));
        return all;
    }

    test::TestShell shell;
    test::TestPump pump;
    TmyOrvixCamFrame frame{shell, pump};
    EditTools tools{frame, shell};
    int shows = 0;
};

using Tool = void (EditTools::*)();

struct NamedTool {
    const char* name;
    Tool tool;
};

const NamedTool kPixelTools[] = {
    {"btn1", &EditTools::btn1Click}, {"btn2", &EditTools::btn2Click}, {"btn3", &EditTools::btn3Click},
    {"btn6", &EditTools::btn6Click}, {"btn7", &EditTools::btn7Click}, {"btn8", &EditTools::btn8Click},
    {"btn9", &EditTools::btn9Click}, {"SpeedButton1", &EditTools::SpeedButton1Click},
    {"SpeedButton2", &EditTools::SpeedButton2Click},
};

TEST(EditTools, WithNoPagesEveryPixelToolSaysSoAndChangesNothing) {
    for (const auto& t : kPixelTools) {
        SCOPED_TRACE(t.name);
        Rig r({}, -1);
        r.frame.Img1.image = pageImage(7);  // a leftover picture in view
        (r.tools.*t.tool)();
        ASSERT_EQ(r.shell.messageBoxes.size(), 1u);
        EXPECT_EQ(r.shell.messageBoxes[0], (test::MessageBoxCall{kNoImages, kCaption, 64}));
        EXPECT_EQ(r.view(), pageImage(7));
        EXPECT_EQ(r.frame.ImageEnMView1.count(), 0);
        EXPECT_FALSE(r.tools.canUndo());
    }
}

TEST(EditTools, PreconditionsOnTheViewAndTheSelection) {
    struct Case {
        const char* name;
        Tool tool;
        int pages;
        Image view;
        std::string message;
    };
    const Case cases[] = {
        // Both sides below 2 is empty; a 1-pixel-wide strip of picture is not.
        {"btn4 empty view", &EditTools::btn4Click, 1, Image(1, 1), kNothingToEdit},
        {"btn5 empty view", &EditTools::btn5Click, 1, Image(), kNothingToEdit},
        {"btn7 empty view before no pages", &EditTools::btn7Click, 0, Image(1, 1), kNothingToEdit},
        {"btn7 empty view with pages", &EditTools::btn7Click, 2, Image(), kNothingToEdit},
        {"btn6 without a selection", &EditTools::btn6Click, 2, pageImage(1), kSelectToFill},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<Image> pages;
        for (int k = 0; k < c.pages; ++k) pages.push_back(pageImage(k));
        Rig r(pages, c.pages - 1);
        r.frame.Img1.image = c.view;
        const auto before = r.pages();
        (r.tools.*c.tool)();
        ASSERT_EQ(r.shell.messageBoxes.size(), 1u);
        EXPECT_EQ(r.shell.messageBoxes[0], (test::MessageBoxCall{c.message, kCaption, 64}));
        EXPECT_EQ(r.pages(), before);
        EXPECT_EQ(r.tools.mouseMode(), ViewMouseMode::ZoomAndSelectZoom);
        EXPECT_FALSE(r.tools.canUndo());
    }
}

TEST(EditTools, ModeButtonsWorkWithoutPages) {
    struct Case { const char* name; Tool tool; ViewMouseMode mode; bool keepsSelection; };
    const Case cases[] = {
        {"btn4", &EditTools::btn4Click, ViewMouseMode::SelectPolygon, false},
        {"btn5", &EditTools::btn5Click, ViewMouseMode::Select, false},
        {"btn11", &EditTools::btn11Click, ViewMouseMode::Zoom, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r({}, -1);
        r.frame.Img1.image = Image(1, 5);
        r.frame.Img1.autoFit = true;
        r.tools.selectRectangle(0, 0, 1, 3);
        ASSERT_NE(r.tools.selection(), nullptr);
        (r.tools.*c.tool)();
        EXPECT_TRUE(r.shell.messageBoxes.empty());
        EXPECT_EQ(r.tools.mouseMode(), c.mode);
        EXPECT_EQ(r.tools.selection() != nullptr, c.keepsSelection);
    }
    Rig r;
    r.frame.Img1.autoFit = true;
    r.tools.btn11Click();
    EXPECT_FALSE(r.frame.Img1.autoFit);
}

TEST(EditTools, QuarterTurnsWriteBackAndUndoEachOther) {
    Rig r;
    r.tools.btn1Click();
    EXPECT_EQ(r.page(1), rotate(pageImage(1), 270, kButtonFace));
    EXPECT_EQ(r.view(), r.page(1));
    r.tools.btn2Click();
    EXPECT_EQ(r.page(1), pageImage(1));
    for (int i = 0; i < 4; ++i) r.tools.btn1Click();
    EXPECT_EQ(r.page(1), pageImage(1));
    // Only the selected page changes.
    EXPECT_EQ(r.page(0), pageImage(0));
    EXPECT_EQ(r.page(2), pageImage(2));
    EXPECT_TRUE(r.shell.messageBoxes.empty());
}

TEST(EditTools, UndoIsOneLevelDeep) {
    // 'r' turns right, 'u' undoes; the page ends up turned right this often.
    struct Case { const char* actions; int rightTurns; };
    const Case cases[] = {
        {"u", 0}, {"r", 1}, {"ru", 0}, {"ruu", 0}, {"rru", 1}, {"rruu", 1},
        {"rurru", 1}, {"rurruu", 1}, {"rrrur", 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.actions);
        Rig r;
        for (const char* a = c.actions; *a; ++a) *a == 'r' ? r.tools.btn1Click() : r.tools.btn10Click();
        Image expected = pageImage(1);
        for (int i = 0; i < c.rightTurns; ++i) expected = rotate(expected, 270, kButtonFace);
        EXPECT_EQ(r.page(1), expected);
        EXPECT_EQ(r.view(), expected);
        EXPECT_TRUE(r.shell.messageBoxes.empty());
    }
}

TEST(EditTools, UndoNeverPutsAnImageIntoAnotherPage) {
    struct Case {
        const char* name;
        std::function<void(Rig&)> between;
    };
    const Case cases[] = {
        {"another page shown", [](Rig& r) { r.click(2); }},
        {"another page shown and back", [](Rig& r) { r.click(2); r.click(1); }},
        {"a page moved", [](Rig& r) { r.frame.N3Click(); }},
        {"a page deleted by script", [](Rig& r) { r.frame.deleteAt(0); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r;
        r.tools.btn8Click();
        c.between(r);
        const auto pages = r.pages();
        const Image view = r.view();
        r.tools.btn10Click();
        EXPECT_EQ(r.pages(), pages);
        EXPECT_EQ(r.view(), view);
        EXPECT_FALSE(r.tools.canUndo());
    }
}

TEST(EditTools, UndoSurvivesAPreviewFrameAndRestoresThePage) {
    Rig r;
    r.tools.btn1Click();
    r.frame.Img1.image = pageImage(9, 8, 8);  // a live frame
    r.tools.btn10Click();
    EXPECT_EQ(r.page(1), pageImage(1));
    EXPECT_EQ(r.view(), pageImage(1));
    EXPECT_EQ(r.shows, 1);  // the preview was stopped by showing the page
}

TEST(EditTools, ToolsEditTheSelectedPageNotWhateverTheViewHolds) {
    struct Case { const char* name; std::function<void(Rig&)> before; };
    const Case cases[] = {
        {"live frame", [](Rig& r) { r.frame.Img1.image = pageImage(9, 8, 8); }},
        // deleteAt leaves the deleted page in view; page 1 is now selected.
        {"deleted page in view", [](Rig& r) { r.frame.deleteAt(1); r.frame.Img1.image = pageImage(1); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r;
        c.before(r);
        const int selected = r.frame.ImageEnMView1.selected();
        const Image original = r.page(selected);
        r.tools.btn1Click();
        EXPECT_EQ(r.page(selected), rotate(original, 270, kButtonFace));
        EXPECT_EQ(r.view(), r.page(selected));
        EXPECT_EQ(r.shows, 1);
    }
}

TEST(EditTools, ASelectionDrawnOnALiveFrameIsDroppedAndTheToolStops) {
    const NamedTool selectionTools[] = {{"btn6", &EditTools::btn6Click}, {"btn7", &EditTools::btn7Click},
                                        {"btn8", &EditTools::btn8Click}, {"btn9", &EditTools::btn9Click}};
    for (const auto& t : selectionTools) {
        SCOPED_TRACE(t.name);
        Rig r;
        r.frame.Img1.image = pageImage(9);  // same size as the page, other picture
        r.tools.selectRectangle(1, 1, 3, 3);
        (r.tools.*t.tool)();
        EXPECT_EQ(r.page(1), pageImage(1));
        EXPECT_EQ(r.view(), pageImage(1));
        EXPECT_EQ(r.tools.selection(), nullptr);
        EXPECT_FALSE(r.tools.canUndo());
        EXPECT_TRUE(r.shell.messageBoxes.empty());
    }
}

TEST(EditTools, RedAndGreenOnTheSelectionOrTheWholePage) {
    struct Case { const char* name; Tool tool; Rgb colour; bool select; };
    const Case cases[] = {
        {"btn8 whole page", &EditTools::btn8Click, kRed, false},
        {"btn9 whole page", &EditTools::btn9Click, kGreen, false},
        {"btn8 left half", &EditTools::btn8Click, kRed, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Image page = textPage();
        page.setPixel(0, 4, Rgb{205, 231, 230});  // gray 225
        page.setPixel(1, 4, Rgb{209, 231, 230});  // gray 226
        Rig r({page}, 0);
        if (c.select) r.tools.selectRectangle(0, 0, 3, 5);
        (r.tools.*c.tool)();
        for (int y = 0; y < 5; ++y) {
            for (int x = 0; x < 6; ++x) {
                const bool inside = !c.select || x < 3;
                const Rgb want = !inside ? page.pixel(x, y)
                                 : (page.pixel(x, y) == kBlack || (x == 0 && y == 4)) ? c.colour
                                                                                        : kWhite;
                EXPECT_EQ(r.page(0).pixel(x, y), want) << x << "," << y;
            }
        }
        r.tools.btn10Click();
        EXPECT_EQ(r.page(0), page);
    }
}

TEST(EditTools, FillWhitensTheSelectionAndKeepsIt) {
    Rig r({Image(5, 4, kBlack)}, 0);
    r.tools.btn5Click();
    r.tools.selectRectangle(1, 1, 3, 4);
    r.tools.btn6Click();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 5; ++x)
            EXPECT_EQ(r.page(0).pixel(x, y), (x >= 1 && x < 3 && y >= 1) ? kWhite : kBlack) << x << "," << y;
    EXPECT_NE(r.tools.selection(), nullptr);
    EXPECT_TRUE(r.shell.messageBoxes.empty());
}

TEST(EditTools, CropReplacesThePageWithTheSelectedBox) {
    Rig r;
    r.tools.btn4Click();
    const std::vector<PixelPoint> triangle{{1, 0}, {3, 0}, {1, 2}};
    r.tools.selectPolygon(triangle);
    r.tools.btn7Click();

    ASSERT_EQ(r.page(1).width(), 3);
    ASSERT_EQ(r.page(1).height(), 3);
    const Image source = pageImage(1);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(r.page(1).pixel(x, y), x + y <= 2 ? source.pixel(x + 1, y) : kButtonFace) << x << "," << y;
    EXPECT_EQ(r.view(), r.page(1));
    EXPECT_EQ(r.frame.img2.image, r.page(1));
    EXPECT_EQ(r.tools.selection(), nullptr);
    EXPECT_EQ(r.tools.mouseMode(), ViewMouseMode::Zoom);
    r.tools.btn10Click();
    EXPECT_EQ(r.page(1), source);
}

TEST(EditTools, CropWithoutASelectionLeavesEverything) {
    Rig r;
    r.tools.btn1Click();  // something to undo afterwards
    r.frame.img2.image = pageImage(8);  // what the scratch view last held
    const Image turned = r.page(1);
    r.tools.btn7Click();
    EXPECT_EQ(r.page(1), turned);
    EXPECT_EQ(r.tools.mouseMode(), ViewMouseMode::ZoomAndSelectZoom);
    EXPECT_TRUE(r.shell.messageBoxes.empty());
    r.tools.btn10Click();
    EXPECT_EQ(r.page(1), pageImage(1));
}

TEST(EditTools, BlackBorderWhitensTheBandOfAnA4Scan) {
    Rig r({Image(850, 1100, kBlack)}, 0);
    r.tools.selectRectangle(0, 0, 10, 10);
    r.tools.SpeedButton1Click();
    const Image& page = r.page(0);
    EXPECT_EQ(page.pixel(39, 33), kWhite);
    EXPECT_EQ(page.pixel(40, 33), kBlack);
    EXPECT_EQ(page.pixel(811, 1063), kBlack);
    EXPECT_EQ(page.pixel(812, 1063), kWhite);
    EXPECT_EQ(page.pixel(400, 32), kWhite);
    EXPECT_EQ(page.pixel(400, 1064), kWhite);
    EXPECT_EQ(r.tools.mouseMode(), ViewMouseMode::Select);
    EXPECT_EQ(r.tools.selection(), nullptr);
}

TEST(EditTools, RemoveBackgroundIgnoresTheSelection) {
    Rig r({textPage()}, 0);
    r.tools.selectRectangle(0, 0, 1, 1);
    r.tools.SpeedButton2Click();
    Image expected = textPage();  // black on white already: unchanged
    EXPECT_EQ(r.page(0), expected);
    Rig grey({Image(3, 3, Rgb{100, 100, 100})}, 0);
    grey.tools.selectRectangle(0, 0, 1, 1);
    grey.tools.SpeedButton2Click();
    EXPECT_EQ(grey.page(0), Image(3, 3, kBlack));
    EXPECT_EQ(grey.tools.mouseMode(), ViewMouseMode::Select);
}

TEST(EditTools, UndoOfATinyImageDoesNotBringBackAnOlderOne) {
    Rig r({Image(1, 3, kBlack)}, 0);
    r.tools.btn1Click();  // 1x3 is not saved
    EXPECT_FALSE(r.tools.canUndo());
    r.tools.btn10Click();
    EXPECT_EQ(r.page(0), Image(3, 1, kBlack));
}

TEST(EditTools, RotationDialog) {
    struct Case {
        const char* name;
        std::function<void(TFrmCustomRotate&)> user;
        double degrees;  // anticlockwise; NAN: unchanged
    };
    const Case cases[] = {
        {"30 clockwise", [](TFrmCustomRotate& d) { d.SpinEdit1SetText("30"); d.BitBtn1Click(); }, 330},
        {"30 anticlockwise", [](TFrmCustomRotate& d) { d.RadioButton2Click(); d.SpinEdit1SetText("30"); d.BitBtn1Click(); }, 30},
        {"typed beyond the limit", [](TFrmCustomRotate& d) { d.SpinEdit1SetText("390"); d.BitBtn1Click(); }, NAN},
        {"cancel", [](TFrmCustomRotate& d) { d.SpinEdit1SetText("30"); d.BitBtn2Click(); }, NAN},
        {"closed by the window", [](TFrmCustomRotate&) {}, NAN},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Rig r({pageImage(0, 40, 20)}, 0);
        r.frame.Img1.zoom = 37.5;
        bool previewStarted = false;
        r.tools.showRotateDialog = [&](TFrmCustomRotate& d) {
            previewStarted = d.img1 == pageImage(0, 40, 20) && d.img_source == d.img1;
            c.user(d);
        };
        const auto revision = r.frame.ImageEnMView1.revision();
        r.tools.btn3Click();
        EXPECT_TRUE(previewStarted);
        const Image expected = std::isnan(c.degrees)
                                   ? pageImage(0, 40, 20)
                                   : resampleNearest(rotate(pageImage(0, 40, 20), c.degrees, kButtonFace), 40, 20);
        EXPECT_EQ(r.page(0), expected);
        EXPECT_EQ(r.view(), expected);
        EXPECT_EQ(r.frame.Img1.zoom, 37.5);
        // Written back also after Cancel.
        EXPECT_NE(r.frame.ImageEnMView1.revision(), revision);
        r.tools.btn10Click();
        EXPECT_EQ(r.page(0), pageImage(0, 40, 20));
    }
}

TEST(EditTools, RotationDialogWithoutAWindowCancels) {
    Rig r;
    r.tools.btn3Click();
    EXPECT_EQ(r.page(1), pageImage(1));
}

TEST(EditTools, PagesChangedUnderTheDialogAreNotOverwritten) {
    Rig r;
    r.tools.showRotateDialog = [&](TFrmCustomRotate& d) {
        r.frame.deleteAt(1);  // a script call while the dialog is open
        d.SpinEdit1SetText("90");
        d.BitBtn1Click();
    };
    r.tools.btn3Click();
    EXPECT_EQ(r.pages(), (std::vector<Image>{pageImage(0), pageImage(2)}));
}

TEST(EditTools, RotateAll) {
    struct Case { double value; double expectedTurn; };
    const Case cases[] = {{0, 0}, {360, 0}, {-720, 0}, {90, 90}, {-90, 270}, {30, 30}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.value);
        Rig r(std::vector<Image>{pageImage(0), pageImage(1, 5, 7), pageImage(2)}, 0);
        r.tools.rotateAll(c.value);
        EXPECT_EQ(r.page(0), rotate(pageImage(0), c.expectedTurn, kButtonFace));
        EXPECT_EQ(r.page(1), rotate(pageImage(1, 5, 7), c.expectedTurn, kButtonFace));
        EXPECT_EQ(r.page(2), rotate(pageImage(2), c.expectedTurn, kButtonFace));
        EXPECT_EQ(r.frame.ImageEnMView1.selected(), 2);
        EXPECT_EQ(r.view(), r.page(2));
        EXPECT_EQ(r.shows, 1);
        EXPECT_EQ(r.frame.lblPicNumbers, Rig().frame.lblPicNumbers);
    }
}

TEST(EditTools, RotateAllOnAnEmptyStripOnlyStopsThePreview) {
    Rig r({}, -1);
    r.frame.Img1.image = pageImage(9);
    r.tools.rotateAll(90);
    EXPECT_EQ(r.shows, 1);
    EXPECT_EQ(r.view(), pageImage(9));
}

TEST(EditTools, RotateAllRefusesANonNumberBeforeTouchingAnything) {
    for (double bad : {std::nan(""), std::numeric_limits<double>::infinity()}) {
        Rig r;
        EXPECT_THROW(r.tools.rotateAll(bad), Error);
        EXPECT_EQ(r.pages(), (std::vector<Image>{pageImage(0), pageImage(1), pageImage(2)}));
        EXPECT_EQ(r.frame.ImageEnMView1.selected(), 1);
        EXPECT_EQ(r.shows, 0);
    }
}

TEST(EditTools, RotateAllDropsTheUndoOfAnEarlierEdit) {
    Rig r;
    r.tools.btn8Click();
    r.tools.rotateAll(90);
    const auto pages = r.pages();
    r.tools.btn10Click();
    EXPECT_EQ(r.pages(), pages);
}

}  // namespace
}  // namespace orvix
