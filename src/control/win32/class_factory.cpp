#include "control/win32/class_factory.h"

#include "control/win32/module.h"
#include "control/win32/orvix_control.h"
#include "orvixcam.h"

namespace orvix::com {
namespace {

// Lives as long as the loaded file, so its reference count is not tracked.
class OrvixClassFactory final : public IClassFactory {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
            *out = static_cast<IClassFactory*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (outer) return CLASS_E_NOAGGREGATION;
        return OrvixControl::create(iid, out);
    }
    STDMETHODIMP LockServer(BOOL lock) override {
        lockServer(lock != FALSE);
        return S_OK;
    }
};

OrvixClassFactory g_factory;

}  // namespace

IClassFactory* findClassFactory(REFCLSID clsid) {
    return IsEqualCLSID(clsid, CLSID_Orvix) ? &g_factory : nullptr;
}

}  // namespace orvix::com
