#pragma once
// Identity of the virtual camera: one class per registered instance, so that a
// filter created through the device moniker knows which instance it is.
#include <windows.h>

#include <string>

namespace orvix::vcam {

inline constexpr int kMaxInstances = 64;
inline constexpr wchar_t kDefaultName[] = L"OrvixCam Virtual Camera";

// Instance n is the class kBaseClsid with n added to Data1.
GUID instanceClsid(int n);
// The instance a class stands for; -1 when it is not one of ours.
int instanceOf(REFCLSID clsid);
// The instance's key name under the video input category ("OrvixVCam 07").
std::wstring instanceKeyName(int n);

}  // namespace orvix::vcam
