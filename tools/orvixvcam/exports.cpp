// The server's entry points. regsvr32 registers the default camera; with
// /i:"NAME" it adds one more camera named NAME (two cameras may share a name,
// as two units of one model do); /u removes every camera this file registered.
#include <windows.h>
#include <objbase.h>

#include <memory>
#include <new>
#include <string>

#include "capture_filter.h"
#include "module.h"
#include "registration.h"
#include "vcam_ids.h"

namespace orvix::vcam {
namespace {

class FilterFactory final : public IClassFactory {
public:
    explicit FilterFactory(int instance) : instance_(instance) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG n = InterlockedDecrement(&refs_);
        if (n == 0) std::unique_ptr<FilterFactory>{this};
        return static_cast<ULONG>(n);
    }
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return CaptureFilter::create(instance_, iid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        lockServer(lock != FALSE);
        return S_OK;
    }

private:
    LONG refs_ = 0;
    const int instance_;
    ModuleReference module_;
};

// regsvr32 passes /i:"NAME" with or without the quotes.
std::wstring unquoted(const wchar_t* text) {
    std::wstring s = text ? text : L"";
    if (s.size() >= 2 && s.front() == L'"' && s.back() == L'"') s = s.substr(1, s.size() - 2);
    return s;
}

}  // namespace
}  // namespace orvix::vcam

using namespace orvix::vcam;

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        setModuleHandle(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    const int instance = instanceOf(clsid);
    if (instance < 0) return CLASS_E_CLASSNOTAVAILABLE;
    try {
        FilterFactory* factory = std::make_unique<FilterFactory>(instance).release();
        factory->AddRef();
        const HRESULT hr = factory->QueryInterface(iid, out);
        factory->Release();
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

STDAPI DllCanUnloadNow() { return canUnloadNow() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return registerInstance(0, kDefaultName); }

STDAPI DllUnregisterServer() { return unregisterInstances(L""); }

// Install: one more camera named by the command line (the default name without
// one). Uninstall: the cameras of that name, all of them without one.
STDAPI DllInstall(BOOL install, LPCWSTR commandLine) {
    const std::wstring name = unquoted(commandLine);
    if (!install) return unregisterInstances(name);
    const int n = freeInstance();
    if (n < 0) return E_OUTOFMEMORY;
    return registerInstance(n, name.empty() ? kDefaultName : name);
}

}  // extern "C"
