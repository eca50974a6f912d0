#include "control/win32/module.h"

#include <mutex>
#include <vector>

#include "control/win32/error_info.h"

namespace orvix::com {
namespace {

HINSTANCE g_instance = nullptr;
// DllCanUnloadNow may be called from any thread.
volatile LONG g_objects = 0;
volatile LONG g_locks = 0;
std::once_flag g_typeLibOnce;
// Kept for the life of the process: releasing it during process teardown could call
// into an already unloaded oleaut32.
ITypeLib* g_typeLib = nullptr;

std::wstring modulePathW() {
    std::vector<wchar_t> buffer(MAX_PATH);
    for (;;) {
        DWORD n = GetModuleFileNameW(g_instance, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (n < buffer.size()) return std::wstring(buffer.data(), n);
        buffer.resize(buffer.size() * 2);
    }
}

}  // namespace

void setModuleHandle(HINSTANCE instance) { g_instance = instance; }
HINSTANCE moduleHandle() { return g_instance; }

std::string modulePath() {
    std::wstring wide = modulePathW();
    int n = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string path(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()), path.data(), n, nullptr, nullptr);
    return path;
}

void objectCreated() { InterlockedIncrement(&g_objects); }
void objectDestroyed() { InterlockedDecrement(&g_objects); }
void lockServer(bool lock) {
    if (lock)
        InterlockedIncrement(&g_locks);
    else
        InterlockedDecrement(&g_locks);
}
bool canUnloadNow() { return g_objects == 0 && g_locks == 0; }

ITypeLib* typeLib() {
    std::call_once(g_typeLibOnce, [] {
        // LoadTypeLib on a DLL path reads its resource TYPELIB 1.
        LoadTypeLibEx(modulePathW().c_str(), REGKIND_NONE, &g_typeLib);
    });
    if (!g_typeLib) throw OleSysError(TYPE_E_CANTLOADLIBRARY, "Cannot load the type library");
    return g_typeLib;
}

ComPtr<ITypeInfo> typeInfoOf(REFGUID guid) {
    ComPtr<ITypeInfo> info;
    HRESULT hr = typeLib()->GetTypeInfoOfGuid(guid, info.put());
    if (FAILED(hr)) throw OleSysError(hr, "Type information not found");
    return info;
}

}  // namespace orvix::com
