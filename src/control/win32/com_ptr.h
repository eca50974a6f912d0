#pragma once
// Owning COM reference: AddRef on copy, Release on destruction.
#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace orvix::com {

template <class T>
class ComPtr {
public:
    ComPtr() = default;
    ComPtr(std::nullptr_t) {}
    // Takes a new reference to p.
    explicit ComPtr(T* p) : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
    ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
    ~ComPtr() { reset(); }
    ComPtr& operator=(ComPtr o) noexcept {
        std::swap(p_, o.p_);
        return *this;
    }

    // Adopts a reference the caller already owns (e.g. from an out parameter).
    static ComPtr adopt(T* p) {
        ComPtr r;
        r.p_ = p;
        return r;
    }

    void reset() {
        if (T* p = std::exchange(p_, nullptr)) p->Release();
    }
    T* get() const { return p_; }
    T* operator->() const { return p_; }
    explicit operator bool() const { return p_ != nullptr; }
    // For out parameters: releases what is held first.
    T** put() {
        reset();
        return &p_;
    }
    // Hands a new reference to a caller's out parameter.
    T* detach() { return std::exchange(p_, nullptr); }
    void copyTo(T** out) const {
        *out = p_;
        if (p_) p_->AddRef();
    }

    template <class U>
    ComPtr<U> as(REFIID iid) const {
        ComPtr<U> r;
        if (p_) p_->QueryInterface(iid, reinterpret_cast<void**>(r.put()));
        return r;
    }

private:
    T* p_ = nullptr;
};

}  // namespace orvix::com
