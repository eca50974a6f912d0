#include "control/win32/connection_point.h"

#include <olectl.h>

#include <algorithm>
#include <memory>

namespace orvix::com {

ConnectionPoint::ConnectionPoint(IConnectionPointContainer& container, REFIID iid, std::size_t maxSinks,
                                 std::function<void(bool)> onChange)
    : container_(container), iid_(iid), maxSinks_(maxSinks), onChange_(std::move(onChange)) {}

ConnectionPoint::~ConnectionPoint() = default;

std::vector<ComPtr<IUnknown>> ConnectionPoint::sinks() const {
    std::vector<ComPtr<IUnknown>> result;
    for (const Connection& c : connections_) result.push_back(c.sink);
    return result;
}

void ConnectionPoint::disconnectAll() { connections_.clear(); }

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
        *out = static_cast<IConnectionPoint*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ConnectionPoint::AddRef() { return container_.AddRef(); }
STDMETHODIMP_(ULONG) ConnectionPoint::Release() { return container_.Release(); }

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
    if (!iid) return E_POINTER;
    *iid = iid_;
    return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    if (!out) return E_POINTER;
    *out = &container_;
    container_.AddRef();
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!cookie) return E_POINTER;
    *cookie = 0;
    if (!sink) return E_POINTER;
    if (maxSinks_ != 0 && connections_.size() >= maxSinks_) return CONNECT_E_ADVISELIMIT;
    ComPtr<IUnknown> typed;
    if (FAILED(sink->QueryInterface(iid_, reinterpret_cast<void**>(typed.put())))) return CONNECT_E_CANNOTCONNECT;
    *cookie = nextCookie_++;
    connections_.push_back({*cookie, std::move(typed)});
    if (onChange_) onChange_(true);
    return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
    auto it = std::find_if(connections_.begin(), connections_.end(),
                           [cookie](const Connection& c) { return c.cookie == cookie; });
    if (it == connections_.end()) return CONNECT_E_NOCONNECTION;
    // Release the sink only after it is out of the list: its Release may call back in.
    ComPtr<IUnknown> sink = std::move(it->sink);
    connections_.erase(it);
    if (onChange_) onChange_(false);
    return S_OK;
}

// Enumerating connections is optional for a connection point.
STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** out) {
    if (out) *out = nullptr;
    return E_NOTIMPL;
}

namespace {

class PointEnumerator final : public IEnumConnectionPoints {
public:
    PointEnumerator(IUnknown& owner, std::vector<IConnectionPoint*> points, std::size_t position)
        : owner_(&owner), points_(std::move(points)), position_(position) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IEnumConnectionPoints)) {
            *out = static_cast<IEnumConnectionPoints*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = InterlockedDecrement(&refs_);
        if (n == 0) std::unique_ptr<PointEnumerator>{this};
        return n;
    }
    STDMETHODIMP Next(ULONG count, IConnectionPoint** out, ULONG* fetched) override {
        if (!out || (count > 1 && !fetched)) return E_POINTER;
        ULONG n = 0;
        while (n < count && position_ < points_.size()) {
            out[n] = points_[position_++];
            out[n]->AddRef();
            ++n;
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        position_ = std::min<std::size_t>(points_.size(), position_ + count);
        return position_ < points_.size() ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        position_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumConnectionPoints** out) override {
        if (!out) return E_POINTER;
        *out = std::make_unique<PointEnumerator>(*owner_.get(), points_, position_).release();
        return S_OK;
    }

private:
    LONG refs_ = 1;
    ComPtr<IUnknown> owner_;  // keeps the container, and so its points, alive
    std::vector<IConnectionPoint*> points_;
    std::size_t position_;
};

}  // namespace

HRESULT enumConnectionPoints(IUnknown& owner, std::vector<IConnectionPoint*> points, IEnumConnectionPoints** out) {
    if (!out) return E_POINTER;
    *out = std::make_unique<PointEnumerator>(owner, std::move(points), 0).release();
    return S_OK;
}

}  // namespace orvix::com
