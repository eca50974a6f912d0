#pragma once
// The active form's own properties as scripts and property bags see them. They only
// store and return their values; the form window reads them once it exists.
#include <windows.h>
#include <ocidl.h>

#include <string>

#include "control/win32/com_ptr.h"
#include "orvixcam.h"

namespace orvix::com {

struct FormProperties {
    bool visible = true;
    bool autoScroll = false;
    bool autoSize = false;
    TxActiveFormBorderStyle axBorderStyle = afbNone;
    std::string caption;  // set by the control from its texts
    OLE_COLOR color = 0x8000000F;  // clBtnFace: the system button-face colour
    ComPtr<IFontDisp> font;  // created on first read: "MS Sans Serif", 8 pt
    bool keyPreview = false;
    long pixelsPerInch = 96;
    TxPrintScale printScale = poProportional;
    bool scaled = true;
    bool active = false;
    bool dropTarget = false;
    std::string helpFile;
    bool screenSnap = false;
    long snapBuffer = 10;
    bool doubleBuffered = false;
    bool alignDisabled = false;
    long visibleDockClientCount = 0;
    bool enabled = true;
};

// The form's default font, as a new font object.
ComPtr<IFontDisp> makeDefaultFormFont();

}  // namespace orvix::com
