#pragma once
// The probe: IProbe through its type library, events through DProbeEvents.
#include "com_object.h"
#include "probe.h"
#include "probe_events.h"

#include <ocidl.h>

namespace orvixhost::probe {

// The probe's type library, loaded from this DLL's resources.
HRESULT typeLibrary(ComPtr<ITypeLib>& out);

class ProbeObject final : public ComObject<IProbe, IConnectionPointContainer, IProvideClassInfo2> {
public:
    ProbeObject();
    ~ProbeObject() override;

    // IDispatch
    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* info, UINT* argError) override;

    // IProbe
    STDMETHODIMP Fire(LONG number, BSTR text) override;
    STDMETHODIMP StartTicks(LONG count, LONG intervalMs) override;
    STDMETHODIMP FireByRef(short value, short* after) override;
    STDMETHODIMP FireUnhandled() override;
    STDMETHODIMP Fail(LONG code, BSTR description) override;
    STDMETHODIMP ShowBoxA(BSTR text, BSTR caption, LONG flags, LONG* answer) override;
    STDMETHODIMP ShowBoxW(BSTR text, BSTR caption, LONG flags, LONG* answer) override;
    STDMETHODIMP PickOpenA(BSTR title, BSTR filter, LONG flags, BSTR* paths) override;
    STDMETHODIMP PickSaveA(BSTR title, BSTR filter, LONG flags, BSTR* paths) override;
    STDMETHODIMP PickOpenW(BSTR title, BSTR filter, LONG flags, BSTR* paths) override;

    // IConnectionPointContainer
    STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
    STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;

    // IProvideClassInfo2
    STDMETHODIMP GetClassInfo(ITypeInfo** info) override;
    STDMETHODIMP GetGUID(DWORD kind, GUID* guid) override;

    // Called by the tick timer.
    void tick();

private:
    void* findInterface(REFIID iid) override;
    HRESULT fail(HRESULT code, const wchar_t* description);
    void stopTicks();

    ComPtr<ITypeInfo> dispatchInfo_;
    ComPtr<ProbeEvents> events_;
    UINT_PTR timer_ = 0;
    LONG ticksLeft_ = 0;
    LONG ticksSent_ = 0;
};

} // namespace orvixhost::probe
