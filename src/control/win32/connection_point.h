#pragma once
// One outgoing interface of the control. Reference counting is the container's, so a
// connection point lives exactly as long as the control object.
#include <ocidl.h>

#include <functional>
#include <vector>

#include "control/win32/com_ptr.h"

namespace orvix::com {

class ConnectionPoint final : public IConnectionPoint {
public:
    // maxSinks 0 means unlimited. onChange runs after every Advise (true) and Unadvise (false).
    ConnectionPoint(IConnectionPointContainer& container, REFIID iid, std::size_t maxSinks,
                    std::function<void(bool)> onChange = {});
    ~ConnectionPoint();

    // Sinks connected now, in connection order (queried for the outgoing interface).
    std::vector<ComPtr<IUnknown>> sinks() const;
    void disconnectAll();

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IConnectionPoint
    STDMETHODIMP GetConnectionInterface(IID* iid) override;
    STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
    STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
    STDMETHODIMP Unadvise(DWORD cookie) override;
    STDMETHODIMP EnumConnections(IEnumConnections** out) override;

    REFIID iid() const { return iid_; }

private:
    struct Connection {
        DWORD cookie;
        ComPtr<IUnknown> sink;
    };
    IConnectionPointContainer& container_;
    IID iid_;
    std::size_t maxSinks_;
    std::function<void(bool)> onChange_;
    std::vector<Connection> connections_;
    DWORD nextCookie_ = 1;
};

// Enumerates a fixed list of connection points of one container.
HRESULT enumConnectionPoints(IUnknown& owner, std::vector<IConnectionPoint*> points,
                             IEnumConnectionPoints** out);

}  // namespace orvix::com
