#pragma once
// A C++ event sink for IOrvixEvents that records what it receives; scripts cannot take
// the by-reference key argument under Wine, so OnKeyPress is tested from here.
#include <functional>
#include <vector>

#include "com_test_support.h"

namespace orvix::test {

class RecordingSink final : public IDispatch {
public:
    std::vector<DISPID> received;
    HRESULT answer = S_OK;              // what Invoke returns
    std::function<void(SHORT&)> onKey;  // may change the key
    LONG refs = 1;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, DIID_IOrvixEvents)) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    // Lives on the test's stack; the count only shows that references are balanced.
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs; }
    STDMETHODIMP_(ULONG) Release() override { return --refs; }
    STDMETHODIMP GetTypeInfoCount(UINT* n) override {
        *n = 0;
        return S_OK;
    }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO* e, UINT*) override {
        received.push_back(id);
        if (id == 207 && onKey && params && params->cArgs == 1 && params->rgvarg[0].vt == (VT_BYREF | VT_I2))
            onKey(*params->rgvarg[0].piVal);
        if (answer == DISP_E_EXCEPTION && e) e->bstrDescription = SysAllocString(L"handler failed");
        return answer;
    }
};

}  // namespace orvix::test
