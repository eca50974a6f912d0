#include "control/win32/registration.h"

#include <oleauto.h>

#include <string>
#include <vector>

#include "control/win32/error_info.h"
#include "control/win32/module.h"
#include "control/win32/orvixcam_ids.h"

namespace orvix::com {
namespace {

const std::string kClsidKey = std::string("CLSID\\") + kClsidText;

struct Entry {
    std::string key;
    const char* valueName;  // null: the key's default value
    std::string data;
};

void writeEntry(const Entry& e) {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExA(HKEY_CLASSES_ROOT, e.key.c_str(), 0, nullptr, 0,
                              KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE, nullptr, &key, nullptr);
    if (rc == ERROR_SUCCESS) {
        // The stored length includes the terminating zero.
        rc = RegSetValueExA(key, e.valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(e.data.c_str()),
                            static_cast<DWORD>(e.data.size() + 1));
        RegCloseKey(key);
    }
    if (rc != ERROR_SUCCESS) throw std::runtime_error("Error creating system registry entry");
}

// InprocServer32 gets the short form of a path with a blank in it.
std::string serverPath(const std::string& path) {
    if (path.find(' ') == std::string::npos) return path;
    DWORD n = GetShortPathNameA(path.c_str(), nullptr, 0);
    if (n == 0) return path;
    std::vector<char> buffer(n);
    n = GetShortPathNameA(path.c_str(), buffer.data(), n);
    return n == 0 ? path : std::string(buffer.data(), n);
}

std::wstring widen(const std::string& s) {
    int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, nullptr, 0);
    std::wstring w(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, w.data(), n);
    w.resize(static_cast<std::size_t>(n > 0 ? n - 1 : 0));
    return w;
}

std::vector<Entry> entries(const std::string& path) {
    const std::string progId = kProgId;
    char version[32];
    wsprintfA(version, "%d.%d", kTypeLibMajor, kTypeLibMinor);
    return {
        {kClsidKey, nullptr, kDescription},
        {kClsidKey + "\\InprocServer32", nullptr, serverPath(path)},
        {kClsidKey + "\\InprocServer32", "ThreadingModel", "Apartment"},
        {progId, nullptr, kDescription},
        {progId + "\\Clsid", nullptr, kClsidText},
        {kClsidKey + "\\ProgID", nullptr, progId},
        {kClsidKey + "\\Version", nullptr, version},
        {kClsidKey + "\\TypeLib", nullptr, kTypeLibIdText},
        {kClsidKey + "\\MiscStatus", nullptr, "0"},
        {kClsidKey + "\\MiscStatus\\1", nullptr, "205201"},
        {kClsidKey + "\\ToolboxBitmap32", nullptr, path + ",1"},
        {kClsidKey + "\\Control", nullptr, ""},
        {kClsidKey + "\\Verb", nullptr, ""},
        {kClsidKey + "\\Verb\\0", nullptr, "Properties,0,2"},
    };
}

}  // namespace

HRESULT registerServer() {
    try {
        const std::string path = modulePath();
        std::string folder = path.substr(0, path.find_last_of('\\') + 1);
        std::wstring pathW = widen(path);
        std::wstring folderW = widen(folder);
        HRESULT hr = RegisterTypeLib(typeLib(), pathW.data(), folderW.data());
        if (FAILED(hr)) return E_FAIL;
        for (const Entry& e : entries(path)) writeEntry(e);
        return S_OK;
    } catch (...) {
        return E_FAIL;
    }
}

HRESULT unregisterServer() {
    try {
        // Older automation libraries have no UnRegisterTypeLib: skip the step there.
        using UnRegisterFn = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);
        if (HMODULE oleaut = GetModuleHandleA("oleaut32.dll")) {
            auto unregisterTypeLib =
                reinterpret_cast<UnRegisterFn>(reinterpret_cast<void*>(GetProcAddress(oleaut, "UnRegisterTypeLib")));
            if (unregisterTypeLib) {
                TLIBATTR* attr = nullptr;
                ITypeLib* lib = typeLib();
                if (FAILED(lib->GetLibAttr(&attr))) return E_FAIL;
                TLIBATTR a = *attr;
                lib->ReleaseTLibAttr(attr);
                unregisterTypeLib(a.guid, a.wMajorVerNum, a.wMinorVerNum, a.lcid, a.syskind);
            }
        }
    } catch (...) {
        return E_FAIL;
    }
    // Leaves before their parents; a key that cannot be deleted is passed over.
    const std::string progId = kProgId;
    for (const std::string& key :
         {kClsidKey + "\\Verb\\0", kClsidKey + "\\Verb", kClsidKey + "\\Control", kClsidKey + "\\ToolboxBitmap32",
          kClsidKey + "\\MiscStatus\\1", kClsidKey + "\\MiscStatus", kClsidKey + "\\TypeLib", kClsidKey + "\\Version",
          kClsidKey + "\\ProgID", progId + "\\Clsid", progId, kClsidKey + "\\InprocServer32", kClsidKey})
        RegDeleteKeyA(HKEY_CLASSES_ROOT, key.c_str());
    return S_OK;
}

}  // namespace orvix::com
