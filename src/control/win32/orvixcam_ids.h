#pragma once
// The generated declarations of the type library, and the control's fixed names.
#include "orvixcam.h"

namespace orvix::com {

inline constexpr wchar_t kProgIdW[] = L"orvixcam.Orvix";
inline constexpr char kProgId[] = "orvixcam.Orvix";
inline constexpr char kClsidText[] = "{2B4F9E63-8A17-4C05-A6D9-7E3C15B08F42}";
inline constexpr char kTypeLibIdText[] = "{5D2E8A41-7C3B-4E19-B6F2-0A9C3D71E4B8}";
inline constexpr char kDescription[] = "Orvix Control";
inline constexpr WORD kTypeLibMajor = 1;
inline constexpr WORD kTypeLibMinor = 0;
inline constexpr LCID kTypeLibLcid = 0x409;

}  // namespace orvix::com
