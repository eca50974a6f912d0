#pragma once
// Helpers for the COM-level tests: the control loaded from orvixcam.ocx beside the
// runner, VARIANT and BSTR ownership, IDispatch calls by name.
#include <windows.h>
#include <oleauto.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/win32/com_ptr.h"
#include "orvixcam.h"

namespace orvix::test {

using com::ComPtr;

struct Variant : VARIANT {
    Variant() { VariantInit(this); }
    ~Variant() { VariantClear(this); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
};

// The server file next to the runner, loaded and unloaded with the object.
class OcxModule {
public:
    OcxModule();
    ~OcxModule();
    HRESULT getClassObject(REFCLSID clsid, REFIID iid, void** out) const;
    HRESULT canUnloadNow() const;
    HRESULT registerServer() const;
    HRESULT unregisterServer() const;
    ComPtr<IOrvix> createControl() const;

private:
    HMODULE module_ = nullptr;
};

// Calls a member by name through IDispatch; returns the HRESULT of Invoke.
HRESULT callByName(IDispatch* object, const wchar_t* name, std::vector<VARIANT> args, VARIANT* result,
                   EXCEPINFO* exception = nullptr, WORD flags = DISPATCH_METHOD | DISPATCH_PROPERTYGET);

DISPID dispidOf(IDispatch* object, const wchar_t* name);
std::string narrow(const wchar_t* s);

}  // namespace orvix::test
