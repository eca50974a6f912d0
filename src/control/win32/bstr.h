#pragma once
// Owning BSTR and the conversions between BSTRs and the control's 8-bit strings.
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <string_view>
#include <utility>

#include "control/code_page.h"

namespace orvix::com {

class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const wchar_t* s) : s_(s ? SysAllocString(s) : nullptr) {}
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;
    Bstr(Bstr&& o) noexcept : s_(std::exchange(o.s_, nullptr)) {}
    Bstr& operator=(Bstr&& o) noexcept {
        std::swap(s_, o.s_);
        return *this;
    }
    ~Bstr() { SysFreeString(s_); }

    static Bstr adopt(BSTR s) {
        Bstr b;
        b.s_ = s;
        return b;
    }
    BSTR get() const { return s_; }
    BSTR detach() { return std::exchange(s_, nullptr); }
    BSTR* put() {
        SysFreeString(std::exchange(s_, nullptr));
        return &s_;
    }

private:
    BSTR s_ = nullptr;
};

inline std::u16string_view view(BSTR s) {
    return s ? std::u16string_view(reinterpret_cast<const char16_t*>(s), SysStringLen(s)) : std::u16string_view{};
}

// An empty text becomes a null BSTR, which scripts read as "".
inline BSTR toBstr(const CodePage& cp, std::string_view text) {
    if (text.empty()) return nullptr;
    std::u16string wide = cp.toUtf16(text);
    BSTR s = SysAllocStringLen(reinterpret_cast<const OLECHAR*>(wide.data()), static_cast<UINT>(wide.size()));
    if (!s) throw std::bad_alloc();
    return s;
}

inline std::string fromBstr(const CodePage& cp, BSTR s) { return cp.fromUtf16(view(s)); }

}  // namespace orvix::com
