#pragma once
// Owning wrappers for BSTR, VARIANT and EXCEPINFO.
#include <windows.h>
#include <ole2.h>

#include <string>
#include <string_view>
#include <utility>

namespace orvixhost {

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(std::wstring_view s) : s_(SysAllocStringLen(s.data(), static_cast<UINT>(s.size()))) {}
    Bstr(const Bstr&) = delete;
    Bstr(Bstr&& other) noexcept : s_(std::exchange(other.s_, nullptr)) {}
    Bstr& operator=(Bstr other) noexcept { std::swap(s_, other.s_); return *this; }
    ~Bstr() { SysFreeString(s_); }

    BSTR get() const { return s_; }
    BSTR* put() { SysFreeString(std::exchange(s_, nullptr)); return &s_; }
    BSTR detach() { return std::exchange(s_, nullptr); }
    std::wstring str() const { return s_ ? std::wstring(s_, SysStringLen(s_)) : std::wstring(); }

private:
    BSTR s_ = nullptr;
};

class Variant {
public:
    Variant() { VariantInit(&v_); }
    Variant(const Variant&) = delete;
    Variant& operator=(const Variant&) = delete;
    ~Variant() { VariantClear(&v_); }

    VARIANT* get() { return &v_; }
    const VARIANT* get() const { return &v_; }
    VARIANT* operator->() { return &v_; }

private:
    VARIANT v_;
};

struct ExcepInfo : EXCEPINFO {
    ExcepInfo() : EXCEPINFO{} {}
    ExcepInfo(const ExcepInfo&) = delete;
    ExcepInfo& operator=(const ExcepInfo&) = delete;
    ~ExcepInfo() {
        SysFreeString(bstrSource);
        SysFreeString(bstrDescription);
        SysFreeString(bstrHelpFile);
    }
    // The error number, filling the details in first when the source deferred them.
    HRESULT code(HRESULT fallback) {
        if (pfnDeferredFillIn) {
            auto fill = std::exchange(pfnDeferredFillIn, nullptr);
            fill(this);
        }
        if (scode) return scode;
        if (wCode) return static_cast<HRESULT>(0x80040200u + wCode);
        return fallback;
    }
    std::wstring description() const {
        return bstrDescription ? std::wstring(bstrDescription, SysStringLen(bstrDescription)) : std::wstring();
    }
};

} // namespace orvixhost
