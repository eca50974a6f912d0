#include "com_test_support.h"

namespace orvix::test {

OcxModule::OcxModule() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string p(path);
    p = p.substr(0, p.find_last_of('\\') + 1) + "orvixcam.ocx";
    module_ = LoadLibraryA(p.c_str());
}

OcxModule::~OcxModule() {
    if (module_) FreeLibrary(module_);
}

template <class F>
static F entry(HMODULE m, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(m, name)));
}

HRESULT OcxModule::getClassObject(REFCLSID clsid, REFIID iid, void** out) const {
    auto f = entry<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(module_, "DllGetClassObject");
    return f ? f(clsid, iid, out) : E_FAIL;
}
HRESULT OcxModule::canUnloadNow() const {
    auto f = entry<HRESULT(WINAPI*)()>(module_, "DllCanUnloadNow");
    return f ? f() : E_FAIL;
}
HRESULT OcxModule::registerServer() const {
    auto f = entry<HRESULT(WINAPI*)()>(module_, "DllRegisterServer");
    return f ? f() : E_FAIL;
}
HRESULT OcxModule::unregisterServer() const {
    auto f = entry<HRESULT(WINAPI*)()>(module_, "DllUnregisterServer");
    return f ? f() : E_FAIL;
}

ComPtr<IOrvix> OcxModule::createControl() const {
    ComPtr<IClassFactory> factory;
    EXPECT_EQ(S_OK, getClassObject(CLSID_Orvix, IID_IClassFactory, reinterpret_cast<void**>(factory.put())));
    ComPtr<IOrvix> control;
    if (factory) {
        EXPECT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IOrvix, reinterpret_cast<void**>(control.put())));
    }
    return control;
}

DISPID dispidOf(IDispatch* object, const wchar_t* name) {
    DISPID id = DISPID_UNKNOWN;
    LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
    HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
    return SUCCEEDED(hr) ? id : DISPID_UNKNOWN;
}

HRESULT callByName(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args, VARIANT* result,
                   EXCEPINFO* exception, WORD flags) {
    DISPID id = dispidOf(object, name);
    if (id == DISPID_UNKNOWN) return DISP_E_UNKNOWNNAME;
    // IDispatch takes the arguments last to first.
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    DISPID named = DISPID_PROPERTYPUT;
    if (flags == DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &named;
        params.cNamedArgs = 1;
    }
    EXCEPINFO local{};
    UINT argError = 0;
    HRESULT hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result,
                                exception ? exception : &local, &argError);
    if (!exception) {
        SysFreeString(local.bstrSource);
        SysFreeString(local.bstrDescription);
        SysFreeString(local.bstrHelpFile);
    }
    return hr;
}

std::string narrow(const wchar_t* s) {
    if (!s) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, s, -1, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<std::size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, s, -1, out.data(), n, nullptr, nullptr);
    out.resize(n > 0 ? n - 1 : 0);
    return out;
}

}  // namespace orvix::test
