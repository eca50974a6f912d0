#pragma once
// Owning pointer to a COM interface: releases what it holds, so callers never pair AddRef/Release.
#include <windows.h>
#include <unknwn.h>

#include <cstddef>
#include <utility>

namespace orvixhost {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    ComPtr(const ComPtr& other) : p_(other.p_) { if (p_) p_->AddRef(); }
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    ~ComPtr() { reset(); }
    ComPtr& operator=(ComPtr other) noexcept { std::swap(p_, other.p_); return *this; }

    // Takes over a reference the caller already owns.
    static ComPtr adopt(T* p) { ComPtr r; r.p_ = p; return r; }
    // Adds a reference of its own.
    static ComPtr share(T* p) { if (p) p->AddRef(); return adopt(p); }

    T* get() const { return p_; }
    T* operator->() const { return p_; }
    T& operator*() const { return *p_; }
    explicit operator bool() const { return p_ != nullptr; }

    T** put() { reset(); return &p_; }
    void** putVoid() { return reinterpret_cast<void**>(put()); }
    // Hands the reference to the caller, e.g. into an out parameter.
    T* detach() { return std::exchange(p_, nullptr); }
    void reset() { if (T* p = std::exchange(p_, nullptr)) p->Release(); }

    template <class U>
    ComPtr<U> as(REFIID iid = __uuidof(U)) const {
        ComPtr<U> r;
        if (p_) p_->QueryInterface(iid, r.putVoid());
        return r;
    }

private:
    T* p_ = nullptr;
};

} // namespace orvixhost
