#include "enumerators.h"

#include <memory>
#include <new>

#include "control/win32/com_ptr.h"
#include "module.h"

namespace orvix::vcam {
namespace {

using com::ComPtr;

// The shared walk over a snapshot; make_ turns an entry into what Next hands out.
template <class Interface, class Entry, class Out, const IID& Iid>
class Enumerator final : public Interface {
public:
    Enumerator(std::vector<Entry> entries, std::size_t position, Out (*make)(const Entry&))
        : entries_(std::move(entries)), position_(position), make_(make) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, Iid)) {
            *out = static_cast<Interface*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
    STDMETHODIMP_(ULONG) Release() override {
        const LONG n = InterlockedDecrement(&refs_);
        if (n == 0) std::unique_ptr<Enumerator>{this};
        return static_cast<ULONG>(n);
    }

    STDMETHODIMP Next(ULONG count, Out* items, ULONG* fetched) override {
        if (!items) return E_POINTER;
        if (count != 1 && !fetched) return E_INVALIDARG;
        ULONG n = 0;
        while (n < count && position_ < entries_.size()) {
            Out item = make_(entries_[position_]);
            if (!item) break;
            items[n++] = item;
            ++position_;
        }
        if (fetched) *fetched = n;
        return n == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        const std::size_t left = entries_.size() - position_;
        position_ += count < left ? count : left;
        return count <= left ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        position_ = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(Interface** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        try {
            auto copy = std::make_unique<Enumerator>(entries_, position_, make_).release();
            copy->AddRef();
            *out = copy;
            return S_OK;
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        }
    }

private:
    LONG refs_ = 0;
    std::vector<Entry> entries_;
    std::size_t position_;
    Out (*make_)(const Entry&);
    ModuleReference module_;
};

IPin* handOutPin(const ComPtr<IPin>& pin) {
    IPin* p = nullptr;
    pin.copyTo(&p);
    return p;
}

AM_MEDIA_TYPE* handOutType(const FrameSize& size) { return newVideoType(size); }

template <class Enum, class Interface, class Entry, class Out>
HRESULT create(std::vector<Entry> entries, Out (*make)(const Entry&), Interface** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    try {
        auto e = std::make_unique<Enum>(std::move(entries), 0, make).release();
        e->AddRef();
        *out = e;
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

using PinEnumerator = Enumerator<IEnumPins, ComPtr<IPin>, IPin*, IID_IEnumPins>;
using TypeEnumerator = Enumerator<IEnumMediaTypes, FrameSize, AM_MEDIA_TYPE*, IID_IEnumMediaTypes>;

}  // namespace

HRESULT createPinEnumerator(std::vector<IPin*> pins, IEnumPins** out) {
    std::vector<ComPtr<IPin>> held;
    for (IPin* p : pins) held.emplace_back(p);
    return create<PinEnumerator>(std::move(held), &handOutPin, out);
}

HRESULT createMediaTypeEnumerator(std::vector<FrameSize> sizes, IEnumMediaTypes** out) {
    return create<TypeEnumerator>(std::move(sizes), &handOutType, out);
}

}  // namespace orvix::vcam
