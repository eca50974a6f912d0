#include "registration.h"

#include <dshow.h>
#include <uuids.h>

#include "control/win32/com_ptr.h"
#include "media_types.h"
#include "module.h"
#include "vcam_ids.h"

namespace orvix::vcam {
namespace {

using com::ComPtr;

class RegKey {
public:
    RegKey() = default;
    ~RegKey() {
        if (key_) RegCloseKey(key_);
    }
    RegKey(const RegKey&) = delete;
    RegKey& operator=(const RegKey&) = delete;
    HKEY* put() { return &key_; }
    HKEY get() const { return key_; }

private:
    HKEY key_ = nullptr;
};

std::wstring guidText(REFGUID g) {
    wchar_t text[40] = {};
    StringFromGUID2(g, text, 40);
    return text;
}

std::wstring categoryInstancesPath() {
    return L"CLSID\\" + guidText(CLSID_VideoInputDeviceCategory) + L"\\Instance";
}

std::wstring classPath(int n) { return L"CLSID\\" + guidText(instanceClsid(n)); }

LSTATUS setString(HKEY key, const wchar_t* value, const std::wstring& data) {
    return RegSetValueExW(key, value, 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

bool readString(HKEY key, const wchar_t* value, std::wstring& out) {
    wchar_t data[512] = {};
    DWORD bytes = sizeof data - sizeof(wchar_t);
    DWORD type = 0;
    if (RegQueryValueExW(key, value, nullptr, &type, reinterpret_cast<BYTE*>(data), &bytes) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    out = data;
    return true;
}

HRESULT fromStatus(LSTATUS status) { return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status); }

// COM for the registration calls, whatever regsvr32 did about it.
class ComScope {
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope() {
        if (SUCCEEDED(hr_)) CoUninitialize();
    }

private:
    HRESULT hr_;
};

HRESULT writeClassKey(int n, const std::wstring& name) {
    RegKey cls, server;
    LSTATUS s = RegCreateKeyExW(HKEY_CLASSES_ROOT, classPath(n).c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, cls.put(), nullptr);
    if (s == ERROR_SUCCESS) s = setString(cls.get(), nullptr, name);
    if (s == ERROR_SUCCESS) s = RegCreateKeyExW(cls.get(), L"InprocServer32", 0, nullptr, 0, KEY_WRITE, nullptr, server.put(), nullptr);
    if (s == ERROR_SUCCESS) s = setString(server.get(), nullptr, modulePath());
    if (s == ERROR_SUCCESS) s = setString(server.get(), L"ThreadingModel", L"Both");
    return fromStatus(s);
}

// The category entry through the filter mapper, which also writes the filter data.
HRESULT writeCategoryEntry(int n, const std::wstring& name) {
    ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                  reinterpret_cast<void**>(mapper.put()));
    if (FAILED(hr)) return hr;
    REGPINTYPES type{&MEDIATYPE_Video, &MEDIASUBTYPE_RGB24};
    REGFILTERPINS pin{};
    pin.bOutput = TRUE;
    pin.clsConnectsToFilter = &CLSID_NULL;
    pin.nMediaTypes = 1;
    pin.lpMediaType = &type;
    REGFILTER2 filter{};
    filter.dwVersion = 1;
    filter.dwMerit = MERIT_DO_NOT_USE;
    filter.cPins = 1;
    filter.rgPins = &pin;
    const GUID clsid = instanceClsid(n);
    const std::wstring key = instanceKeyName(n);
    return mapper->RegisterFilter(clsid, name.c_str(), nullptr, &CLSID_VideoInputDeviceCategory, key.c_str(), &filter);
}

// Without a filter mapper: the two values device enumeration reads.
HRESULT writeCategoryKeys(int n, const std::wstring& name) {
    RegKey instance;
    const std::wstring path = categoryInstancesPath() + L"\\" + instanceKeyName(n);
    LSTATUS s = RegCreateKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, instance.put(), nullptr);
    if (s == ERROR_SUCCESS) s = setString(instance.get(), L"FriendlyName", name);
    if (s == ERROR_SUCCESS) s = setString(instance.get(), L"CLSID", guidText(instanceClsid(n)));
    return fromStatus(s);
}

bool classRegistered(int n) {
    RegKey key;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, classPath(n).c_str(), 0, KEY_READ, key.put()) == ERROR_SUCCESS;
}

bool instanceNamed(int n, const std::wstring& name) {
    RegKey key;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, classPath(n).c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return false;
    std::wstring registered;
    return readString(key.get(), nullptr, registered) && registered == name;
}

void removeInstance(int n) {
    RegKey instances;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, categoryInstancesPath().c_str(), 0, KEY_ALL_ACCESS, instances.put()) ==
        ERROR_SUCCESS) {
        RegDeleteTreeW(instances.get(), instanceKeyName(n).c_str());
    }
    RegKey classes;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, L"CLSID", 0, KEY_ALL_ACCESS, classes.put()) == ERROR_SUCCESS) {
        RegDeleteTreeW(classes.get(), guidText(instanceClsid(n)).c_str());
    }
}

}  // namespace

HRESULT registerInstance(int n, const std::wstring& name) {
    if (n < 0 || n >= kMaxInstances || name.empty()) return E_INVALIDARG;
    ComScope com;
    HRESULT hr = writeClassKey(n, name);
    if (FAILED(hr)) return hr;
    if (FAILED(writeCategoryEntry(n, name))) hr = writeCategoryKeys(n, name);
    return hr;
}

int freeInstance() {
    for (int n = 0; n < kMaxInstances; ++n) {
        if (!classRegistered(n)) return n;
    }
    return -1;
}

HRESULT unregisterInstances(const std::wstring& name) {
    for (int n = 0; n < kMaxInstances; ++n) {
        if (name.empty() || instanceNamed(n, name)) removeInstance(n);
    }
    return S_OK;
}

}  // namespace orvix::vcam
