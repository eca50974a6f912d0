#pragma once
// The engine's view of the host: named items and error reports go to the owner.
#include "com_object.h"

#include <activscp.h>

namespace orvixhost {

class SiteOwner {
public:
    virtual IUnknown* namedItem(const wchar_t* name) = 0;
    virtual void scriptError(IActiveScriptError& error) = 0;

protected:
    ~SiteOwner() = default;
};

class ScriptSite final : public ComObject<IActiveScriptSite, IActiveScriptSiteWindow> {
public:
    explicit ScriptSite(SiteOwner& owner) : owner_(owner) {}

    STDMETHODIMP GetLCID(LCID* lcid) override;
    STDMETHODIMP GetItemInfo(LPCOLESTR name, DWORD mask, IUnknown** item, ITypeInfo** info) override;
    STDMETHODIMP GetDocVersionString(BSTR* version) override;
    STDMETHODIMP OnScriptTerminate(const VARIANT*, const EXCEPINFO*) override { return S_OK; }
    STDMETHODIMP OnStateChange(SCRIPTSTATE) override { return S_OK; }
    STDMETHODIMP OnScriptError(IActiveScriptError* error) override;
    STDMETHODIMP OnEnterScript() override { return S_OK; }
    STDMETHODIMP OnLeaveScript() override { return S_OK; }

    STDMETHODIMP GetWindow(HWND* window) override;
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }

private:
    SiteOwner& owner_;
};

} // namespace orvixhost
