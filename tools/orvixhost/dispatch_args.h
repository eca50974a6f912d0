#pragma once
// Reading IDispatch::Invoke arguments in call order, and raising script exceptions.
#include <windows.h>
#include <oaidl.h>

#include <optional>
#include <string>

namespace orvixhost {

class DispatchArgs {
public:
    explicit DispatchArgs(const DISPPARAMS* params) : params_(params) {}

    size_t count() const { return params_ ? params_->cArgs : 0; }
    // The i-th argument as written in the script (DISPPARAMS holds them last first).
    const VARIANT& at(size_t i) const { return params_->rgvarg[count() - 1 - i]; }
    bool present(size_t i) const;
    std::optional<std::wstring> text(size_t i) const;
    std::optional<long> integer(size_t i) const;

private:
    const DISPPARAMS* params_;
};

// How WScript.Echo shows a value: strings as they are, null and undefined by name.
std::wstring displayText(const VARIANT& value);

// Fills EXCEPINFO so the script sees an Error with this number and text.
HRESULT raiseScriptError(EXCEPINFO* info, HRESULT code, const std::wstring& text);

} // namespace orvixhost
