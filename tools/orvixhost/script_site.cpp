#include "script_site.h"

namespace orvixhost {

STDMETHODIMP ScriptSite::GetLCID(LCID* lcid) {
    if (!lcid) return E_POINTER;
    *lcid = GetUserDefaultLCID();
    return S_OK;
}

STDMETHODIMP ScriptSite::GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** info) {
    if (item) *item = nullptr;
    if (info) *info = nullptr;
    IUnknown* found = name ? owner_.namedItem(name) : nullptr;
    if (!found) return TYPE_E_ELEMENTNOTFOUND;
    if (mask & SCRIPTINFO_IUNKNOWN) {
        if (!item) return E_POINTER;
        *item = ComPtr<IUnknown>::share(found).detach();
    }
    return S_OK;
}

STDMETHODIMP ScriptSite::GetDocVersionString(BSTR* version) {
    if (version) *version = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ScriptSite::OnScriptError(IActiveScriptError* error) {
    if (error) owner_.scriptError(*error);
    return S_OK;
}

STDMETHODIMP ScriptSite::GetWindow(HWND* window) {
    if (!window) return E_POINTER;
    // No window of our own: dialogs raised for the script get no owner.
    *window = nullptr;
    return S_OK;
}

} // namespace orvixhost
