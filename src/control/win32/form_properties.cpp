#include "control/win32/form_properties.h"

#include <olectl.h>

#include "control/win32/error_info.h"

namespace orvix::com {

ComPtr<IFontDisp> makeDefaultFormFont() {
    FONTDESC desc{};
    desc.cbSizeofstruct = sizeof desc;
    desc.lpstrName = const_cast<LPOLESTR>(L"MS Sans Serif");
    // Height -11 pixels at 96 pixels per inch is 8.25 points; CY counts 1/10000.
    desc.cySize.int64 = 82500;
    desc.sWeight = FW_NORMAL;
    desc.sCharset = ANSI_CHARSET;
    ComPtr<IFontDisp> font;
    HRESULT hr = OleCreateFontIndirect(&desc, IID_IFontDisp, reinterpret_cast<void**>(font.put()));
    if (FAILED(hr)) throw OleSysError(hr, "Cannot create the form font");
    return font;
}

}  // namespace orvix::com
