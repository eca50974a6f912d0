#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "pages/edit/rotate.h"
#include "ui/edit/custom_rotate_dialog.h"

namespace orvix {
namespace {

// Asymmetric, so every turn gives a different picture.
Image source() {
    Image image(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x) image.setPixel(x, y, Rgb{static_cast<std::uint8_t>(x * 40), static_cast<std::uint8_t>(y * 90), 9});
    return image;
}

TFrmCustomRotate openDialog() {
    TFrmCustomRotate dialog;
    dialog.img1 = source();
    dialog.img_source = source();
    return dialog;
}

TEST(CustomRotateDialog, StartsAtZeroClockwiseWithNoResult) {
    const TFrmCustomRotate dialog;
    EXPECT_EQ(dialog.SpinEdit1Text(), "0");
    EXPECT_EQ(dialog.SpinEdit1Value(), 0);
    EXPECT_TRUE(dialog.RadioButton1Checked());
    EXPECT_FALSE(dialog.RadioButton2Checked());
    EXPECT_EQ(dialog.modalResult(), ModalResult::None);
}

TEST(CustomRotateDialog, TextThatIsNotAnIntegerReadsAsTheMinimum) {
    struct Case { const char* text; int value; };
    const Case cases[] = {
        {"30", 30}, {"-45", -45}, {"+15", 15}, {"0", 0},
        {"400", 400}, {"-9999", -9999},  // used as typed until the edit loses the focus
        {"", -360}, {"-", -360}, {"+", -360}, {"1.5", -360}, {"12a", -360},
        {"+-3", -360}, {"99999999999", -360}, {"3 ", -360},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        TFrmCustomRotate dialog = openDialog();
        dialog.SpinEdit1SetText(c.text);
        EXPECT_EQ(dialog.SpinEdit1Value(), c.value);
    }
}

TEST(CustomRotateDialog, AcceptsOnlyDigitsSignsAndTheDecimalSeparator) {
    for (char c : std::string("0123456789+-.\b")) EXPECT_TRUE(TFrmCustomRotate::SpinEdit1AcceptsKey(c)) << int(c);
    for (char c : std::string("aZ ,e$/*")) EXPECT_FALSE(TFrmCustomRotate::SpinEdit1AcceptsKey(c)) << c;
}

TEST(CustomRotateDialog, PreviewFollowsTheAngleAndDirection) {
    TFrmCustomRotate dialog = openDialog();
    dialog.SpinEdit1SetText("90");
    // Clockwise 90 is anticlockwise 270.
    EXPECT_EQ(dialog.img1, rotate(source(), 270, kButtonFace));

    // Switching direction alone leaves the preview; the next change redraws.
    dialog.RadioButton2Click();
    EXPECT_TRUE(dialog.RadioButton2Checked());
    EXPECT_FALSE(dialog.RadioButton1Checked());
    EXPECT_EQ(dialog.img1, rotate(source(), 270, kButtonFace));
    dialog.SpinEdit1SetText("90");
    EXPECT_EQ(dialog.img1, rotate(source(), 90, kButtonFace));

    // Garbage reads as -360: a whole turn, the unrotated image.
    dialog.SpinEdit1SetText("x");
    EXPECT_EQ(dialog.img1, source());
    // The preview is always made from the source, never from itself.
    dialog.SpinEdit1SetText("30");
    dialog.SpinEdit1SetText("30");
    EXPECT_EQ(dialog.img1, rotate(source(), 30, kButtonFace));
}

TEST(CustomRotateDialog, LosingTheFocusClampsAndRedraws) {
    struct Case { const char* typed; const char* after; };
    const Case cases[] = {{"400", "360"}, {"-1000", "-360"}, {"359", "359"}, {"abc", "abc"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        TFrmCustomRotate dialog = openDialog();
        dialog.RadioButton2Click();
        dialog.SpinEdit1SetText(c.typed);
        dialog.SpinEdit1Exit();
        EXPECT_EQ(dialog.SpinEdit1Text(), c.after);
        EXPECT_EQ(dialog.img1, rotate(source(), dialog.SpinEdit1Value(), kButtonFace));
    }
}

TEST(CustomRotateDialog, SpinButtonsStepWithinTheLimits) {
    struct Case { const char* from; bool up; const char* to; };
    const Case cases[] = {
        {"10", true, "11"}, {"10", false, "9"}, {"360", true, "360"}, {"-360", false, "-360"},
        {"500", false, "360"}, {"junk", true, "-359"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.from << (c.up ? " up" : " down"));
        TFrmCustomRotate dialog = openDialog();
        dialog.SpinEdit1SetText(c.from);
        c.up ? dialog.SpinEdit1Up() : dialog.SpinEdit1Down();
        EXPECT_EQ(dialog.SpinEdit1Text(), c.to);
    }
}

TEST(CustomRotateDialog, ButtonsCloseWithTheirResultAfterClamping) {
    TFrmCustomRotate ok = openDialog();
    ok.SpinEdit1SetText("500");
    ok.BitBtn1Click();
    EXPECT_EQ(ok.modalResult(), ModalResult::Ok);
    EXPECT_EQ(ok.SpinEdit1Text(), "360");
    EXPECT_EQ(ok.rotationAngle(), 0.0);

    TFrmCustomRotate cancel = openDialog();
    cancel.RadioButton2Click();
    cancel.SpinEdit1SetText("45");
    cancel.BitBtn2Click();
    EXPECT_EQ(cancel.modalResult(), ModalResult::Cancel);
    EXPECT_EQ(cancel.rotationAngle(), 45.0);
}

}  // namespace
}  // namespace orvix
