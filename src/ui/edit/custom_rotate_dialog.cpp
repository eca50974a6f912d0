#include "ui/edit/custom_rotate_dialog.h"

#include <algorithm>
#include <charconv>

#include "pages/edit/rotate.h"

namespace orvix {

void TFrmCustomRotate::SpinEdit1SetText(std::string text) {
    text_ = std::move(text);
    SpinEdit1Change();
}

bool TFrmCustomRotate::SpinEdit1AcceptsKey(char key) {
    const auto k = static_cast<unsigned char>(key);
    return (key >= '0' && key <= '9') || key == '+' || key == '-' || key == '.' || k < 0x20;
}

int TFrmCustomRotate::SpinEdit1Value() const {
    const char* first = text_.data();
    const char* last = first + text_.size();
    // from_chars takes no plus sign; a text is still an integer with one.
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-') ++first;
    int value = 0;
    const auto [end, error] = std::from_chars(first, last, value);
    if (error != std::errc{} || end != last) return kMinValue;
    return value;
}

void TFrmCustomRotate::setValue(int value) { SpinEdit1SetText(std::to_string(std::clamp(value, kMinValue, kMaxValue))); }

void TFrmCustomRotate::SpinEdit1Up() { setValue(std::min(SpinEdit1Value(), kMaxValue - 1) + 1); }

void TFrmCustomRotate::SpinEdit1Down() { setValue(std::max(SpinEdit1Value(), kMinValue + 1) - 1); }

void TFrmCustomRotate::SpinEdit1Exit() {
    const int value = SpinEdit1Value();
    if (value != std::clamp(value, kMinValue, kMaxValue)) setValue(value);
}

void TFrmCustomRotate::SpinEdit1Change() { img1 = rotate(img_source, rotationAngle(), kButtonFace); }

void TFrmCustomRotate::BitBtn1Click() {
    SpinEdit1Exit();
    modalResult_ = ModalResult::Ok;
}

void TFrmCustomRotate::BitBtn2Click() {
    SpinEdit1Exit();
    modalResult_ = ModalResult::Cancel;
}

double TFrmCustomRotate::rotationAngle() const {
    const double value = SpinEdit1Value();
    return clockwise_ ? 360.0 - value : value;
}

}  // namespace orvix
