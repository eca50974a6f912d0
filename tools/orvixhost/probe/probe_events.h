#pragma once
// The probe's one connection point: DProbeEvents sinks, called in the order they connected.
#include "com_object.h"

#include <ocidl.h>

#include <map>

namespace orvixhost::probe {

class ProbeEvents final : public ComObject<IConnectionPoint> {
public:
    // The container owns this object; the back pointer holds no reference, so no cycle.
    explicit ProbeEvents(IConnectionPointContainer& owner) : owner_(owner) {}

    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** owner) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

    void fire(DISPID id, DISPPARAMS& args);

private:
    IConnectionPointContainer& owner_;
    std::map<DWORD, ComPtr<IDispatch>> sinks_;
    DWORD next_ = 1;
};

} // namespace orvixhost::probe
