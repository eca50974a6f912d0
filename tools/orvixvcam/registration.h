#pragma once
// Registration of camera instances in the video input category. Each instance
// is a class of its own (see vcam_ids.h) with a key under the category's
// Instance key holding its friendly name; several may share one name.
#include <windows.h>

#include <string>

namespace orvix::vcam {

// Registers (or refreshes) instance n under `name`.
HRESULT registerInstance(int n, const std::wstring& name);
// The first instance number not registered yet; -1 when all are taken.
int freeInstance();
// Removes the instances named `name`, or all of them when `name` is empty.
HRESULT unregisterInstances(const std::wstring& name);

}  // namespace orvix::vcam
