#include "probe_events.h"

#include "probe.h"

#include <olectl.h>

#include <vector>

namespace orvixhost::probe {

STDMETHODIMP ProbeEvents::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = DIID_DProbeEvents;
    return S_OK;
}

STDMETHODIMP ProbeEvents::GetConnectionPointContainer(IConnectionPointContainer** owner) {
    if (!owner) return E_POINTER;
    *owner = ComPtr<IConnectionPointContainer>::share(&owner_).detach();
    return S_OK;
}

STDMETHODIMP ProbeEvents::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie) return E_POINTER;
    // As controls do: the sink must answer for the event interface itself.
    auto events = ComPtr<IUnknown>::share(sink).as<IDispatch>(DIID_DProbeEvents);
    if (!events) return CONNECT_E_CANNOTCONNECT;
    *cookie = next_++;
    sinks_.emplace(*cookie, std::move(events));
    return S_OK;
}

STDMETHODIMP ProbeEvents::Unadvise(DWORD cookie) {
    return sinks_.erase(cookie) ? S_OK : CONNECT_E_NOCONNECTION;
}

STDMETHODIMP ProbeEvents::EnumConnections(IEnumConnections** connections) {
    if (connections) *connections = nullptr;
    return E_NOTIMPL;
}

void ProbeEvents::fire(DISPID id, DISPPARAMS& args) {
    // A copy: handlers may connect or disconnect while being called.
    std::vector<ComPtr<IDispatch>> sinks;
    for (const auto& [cookie, sink] : sinks_) sinks.push_back(sink);
    for (const auto& sink : sinks) {
        UINT argError = 0;
        sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &args, nullptr, nullptr, &argError);
    }
}

} // namespace orvixhost::probe
