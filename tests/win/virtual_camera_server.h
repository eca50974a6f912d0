#pragma once
// orvixvcam.dll beside the runner, registered through its own exports, and a
// message loop that waits for a condition.
#include <windows.h>

#include <functional>
#include <string>

namespace orvix::test {

class VirtualCameraServer {
public:
    VirtualCameraServer() {
        wchar_t path[MAX_PATH];
        GetModuleFileNameW(nullptr, path, MAX_PATH);
        std::wstring p(path);
        p = p.substr(0, p.find_last_of(L'\\') + 1) + L"orvixvcam.dll";
        module_ = LoadLibraryW(p.c_str());
    }
    ~VirtualCameraServer() {
        if (module_) FreeLibrary(module_);
    }
    VirtualCameraServer(const VirtualCameraServer&) = delete;
    VirtualCameraServer& operator=(const VirtualCameraServer&) = delete;

    bool loaded() const { return module_ != nullptr; }
    HRESULT registerServer() const { return call<HRESULT(WINAPI*)()>("DllRegisterServer"); }
    HRESULT unregisterServer() const { return call<HRESULT(WINAPI*)()>("DllUnregisterServer"); }
    HRESULT install(bool install, const wchar_t* name) const {
        return call<HRESULT(WINAPI*)(BOOL, LPCWSTR)>("DllInstall", install ? TRUE : FALSE, name);
    }

private:
    template <class F, class... A>
    HRESULT call(const char* name, A... args) const {
        auto f = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
        return f ? f(args...) : E_FAIL;
    }
    HMODULE module_ = nullptr;
};

// Lets window messages run until done() holds or the time is up.
inline bool pumpUntil(const std::function<bool()>& done, DWORD milliseconds = 15000) {
    const ULONGLONG end = GetTickCount64() + milliseconds;
    for (;;) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        if (done()) return true;
        if (GetTickCount64() >= end) return false;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
    }
}

}  // namespace orvix::test
