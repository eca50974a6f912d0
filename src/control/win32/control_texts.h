#pragma once
// Texts of the control object, 8-bit in code page 936.

namespace orvix::com::texts {

// "OrvixCam控件"
inline constexpr char kFormCaption[] = "OrvixCam\xbf\xd8\xbc\xfe";

}  // namespace orvix::com::texts
