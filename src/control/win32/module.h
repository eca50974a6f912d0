#pragma once
// What belongs to the loaded file: its handle and path, the live-object and lock
// counters behind DllCanUnloadNow, and the embedded type library.
#include <windows.h>
#include <oaidl.h>

#include <string>

#include "control/win32/com_ptr.h"

namespace orvix::com {

void setModuleHandle(HINSTANCE instance);
HINSTANCE moduleHandle();
// Full path of the file, 8-bit in the ANSI code page.
std::string modulePath();

void objectCreated();
void objectDestroyed();
void lockServer(bool lock);
bool canUnloadNow();

// Loaded from the file's own resource TYPELIB 1 on first use; throws when that fails.
ITypeLib* typeLib();
ComPtr<ITypeInfo> typeInfoOf(REFGUID guid);

}  // namespace orvix::com
