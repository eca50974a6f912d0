#pragma once
// The boundary between the core's exceptions and COM: every IOrvix member runs inside
// guarded(), which turns an escaping exception into an HRESULT plus a COM error object.
#include <windows.h>

#include <stdexcept>
#include <string>

#include "control/code_page.h"

namespace orvix::com {

// An error that carries its own HRESULT (a negative one is passed to the caller as is).
class OleSysError : public std::runtime_error {
public:
    OleSysError(HRESULT code, const std::string& message) : std::runtime_error(message), code_(code) {}
    HRESULT code() const { return code_; }

private:
    HRESULT code_;
};

// A member whose behaviour has not been built yet.
class NotAvailable : public OleSysError {
public:
    explicit NotAvailable(const std::string& member) : OleSysError(E_NOTIMPL, member + " is not available yet") {}
};

// Creates the error object (interface IOrvix, source ProgID, description = message)
// and makes it the thread's error info. Returns the code the member returns.
HRESULT reportError(const CodePage& codePage, const std::string& message, HRESULT code);

template <class F>
HRESULT guarded(const CodePage& codePage, F&& operation) {
    try {
        operation();
        return S_OK;
    } catch (const OleSysError& e) {
        return reportError(codePage, e.what(), e.code() < 0 ? e.code() : E_UNEXPECTED);
    } catch (const std::exception& e) {
        return reportError(codePage, e.what(), E_UNEXPECTED);
    } catch (...) {
        return reportError(codePage, "Unexpected failure", E_UNEXPECTED);
    }
}

}  // namespace orvix::com
