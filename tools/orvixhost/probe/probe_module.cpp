// The probe DLL's exports: class factory and self-registration as "OrvixHost.Probe".
#include "com_object.h"
#include "probe.h"
#include "probe_object.h"

#include <windows.h>

#include <string>

HMODULE g_probeModule = nullptr;

namespace {

using orvixhost::ComObject;
using orvixhost::ComPtr;
using orvixhost::makeObject;

constexpr const wchar_t* kProgId = L"OrvixHost.Probe";

class ProbeFactory final : public ComObject<IClassFactory> {
public:
    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return makeObject<orvixhost::probe::ProbeObject>()->QueryInterface(iid, out);
    }
    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

std::wstring guidText(REFGUID guid) {
    wchar_t text[64] = {};
    StringFromGUID2(guid, text, 64);
    return text;
}

LSTATUS setValue(const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    return RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

} // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, void*) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_probeModule = module;
        DisableThreadLibraryCalls(module);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (clsid != CLSID_Probe) return CLASS_E_CLASSNOTAVAILABLE;
    return makeObject<ProbeFactory>()->QueryInterface(iid, out);
}

STDAPI DllCanUnloadNow() {
    // Timers may still point into the DLL; it stays for the life of the process.
    return S_FALSE;
}

STDAPI DllRegisterServer() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(g_probeModule, path, MAX_PATH);
    const std::wstring clsidKey = L"CLSID\\" + guidText(CLSID_Probe);
    const LSTATUS results[] = {
        setValue(clsidKey, nullptr, L"orvixhost test probe"),
        setValue(clsidKey + L"\\InprocServer32", nullptr, path),
        setValue(clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment"),
        setValue(clsidKey + L"\\ProgID", nullptr, kProgId),
        setValue(std::wstring(kProgId) + L"\\CLSID", nullptr, guidText(CLSID_Probe)),
    };
    for (LSTATUS status : results) {
        if (status != ERROR_SUCCESS) return HRESULT_FROM_WIN32(status);
    }
    return S_OK;
}

STDAPI DllUnregisterServer() {
    RegDeleteTreeW(HKEY_CLASSES_ROOT, (L"CLSID\\" + guidText(CLSID_Probe)).c_str());
    RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
    return S_OK;
}
