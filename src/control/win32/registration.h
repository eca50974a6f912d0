#pragma once
// The registry entries of the control under HKEY_CLASSES_ROOT, and its type library.
#include <windows.h>

namespace orvix::com {

// Both return S_OK, or E_FAIL when a step raised.
HRESULT registerServer();
HRESULT unregisterServer();

}  // namespace orvix::com
