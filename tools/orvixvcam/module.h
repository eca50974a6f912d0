#pragma once
// The loaded file: its handle and the object and lock counts behind DllCanUnloadNow.
#include <windows.h>

#include <string>

namespace orvix::vcam {

void setModuleHandle(HINSTANCE instance);
std::wstring modulePath();

void objectCreated();
void objectDestroyed();
void lockServer(bool lock);
bool canUnloadNow();

// Counts one live object for as long as it exists.
struct ModuleReference {
    ModuleReference() { objectCreated(); }
    ~ModuleReference() { objectDestroyed(); }
    ModuleReference(const ModuleReference&) = delete;
    ModuleReference& operator=(const ModuleReference&) = delete;
};

}  // namespace orvix::vcam
