#pragma once
// The rotation dialog: an angle, a direction and a preview of the turned
// image. The window shows this model modally and forwards its events here.
#include <string>

#include "pages/image.h"

namespace orvix {

enum class ModalResult { None, Ok, Cancel };

// Where the window puts things (pixels; the font is "宋体", 12 pixels high,
// GB2312 character set). Captions are in ui/edit/edit_texts.h.
namespace rotate_layout {
inline constexpr int kFormWidth = 667, kFormHeight = 453;
inline constexpr int kTopPanelHeight = 45;
inline constexpr int kRadio1X = 20, kRadio1Y = 12;
inline constexpr int kRadio2X = 136, kRadio2Y = 12;
inline constexpr int kLabelX = 257, kLabelY = 15;
inline constexpr int kSpinX = 359, kSpinY = 11, kSpinWidth = 61;
inline constexpr int kOkX = 452, kCancelX = 552, kButtonY = 8, kButtonWidth = 75, kButtonHeight = 25;
}  // namespace rotate_layout

class TFrmCustomRotate {
public:
    static constexpr int kMinValue = -360;
    static constexpr int kMaxValue = 360;

    Image img1;        // the preview
    Image img_source;  // the image before turning

    ModalResult modalResult() const { return modalResult_; }

    // SpinEdit1. The text is what the edit shows; setting it runs
    // SpinEdit1Change, as every change of the edit does.
    const std::string& SpinEdit1Text() const { return text_; }
    void SpinEdit1SetText(std::string text);
    // Digits, signs, the decimal separator and editing keys get in.
    static bool SpinEdit1AcceptsKey(char key);
    // The text as an integer; a text that is not one reads as the minimum,
    // -360. Not clamped: while typing, a value beyond the limits is used as
    // it stands.
    int SpinEdit1Value() const;
    // The spin buttons: one step, kept within the limits.
    void SpinEdit1Up();
    void SpinEdit1Down();
    // Losing the focus pulls a value beyond the limits back to the nearer
    // one, which changes the text and so redraws the preview.
    void SpinEdit1Exit();
    // Preview = the source turned by the current angle.
    void SpinEdit1Change();

    // Radio group: checking one unchecks the other. Neither redraws the
    // preview; the next change of the angle does.
    bool RadioButton1Checked() const { return clockwise_; }
    bool RadioButton2Checked() const { return !clockwise_; }
    void RadioButton1Click() { clockwise_ = true; }
    void RadioButton2Click() { clockwise_ = false; }

    // OK and Cancel take the focus from the edit first.
    void BitBtn1Click();
    void BitBtn2Click();

    // Anticlockwise degrees for the current value and direction: 360 - value
    // when clockwise.
    double rotationAngle() const;

private:
    void setValue(int value);

    std::string text_ = "0";
    bool clockwise_ = true;
    ModalResult modalResult_ = ModalResult::None;
};

}  // namespace orvix
