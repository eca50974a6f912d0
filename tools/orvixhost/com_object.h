#pragma once
// Reference counting and QueryInterface for classes implementing a fixed list of interfaces.
#include "com_ptr.h"

#include <atomic>
#include <tuple>
#include <utility>

namespace orvixhost {

template <class... Interfaces>
class ComObject : public Interfaces... {
    using First = std::tuple_element_t<0, std::tuple<Interfaces...>>;

public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (iid == __uuidof(IUnknown)) *out = static_cast<IUnknown*>(static_cast<First*>(this));
        else ((*out = iid == __uuidof(Interfaces) ? static_cast<Interfaces*>(this) : nullptr) || ...);
        if (!*out) *out = findInterface(iid);
        if (!*out) return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
    STDMETHODIMP_(ULONG) Release() override {
        const ULONG left = --refs_;
        if (left == 0) delete this;
        return left;
    }

protected:
    ComObject() = default;
    virtual ~ComObject() = default;
    // Interfaces not in the list: base interfaces, or IIDs known only at run time.
    virtual void* findInterface(REFIID) { return nullptr; }

private:
    std::atomic<ULONG> refs_{1};
};

// Creates a COM object; its lifetime is then governed by Release alone.
template <class T, class... Args>
ComPtr<T> makeObject(Args&&... args) {
    return ComPtr<T>::adopt(new T(std::forward<Args>(args)...));
}

} // namespace orvixhost
