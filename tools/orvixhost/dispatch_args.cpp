#include "dispatch_args.h"

#include "com_types.h"

namespace orvixhost {

namespace {

// The OLE conversion functions take non-const sources they do not change.
// Numbers print the same whatever the user's locale.
constexpr LCID kInvariant = MAKELCID(MAKELANGID(LANG_INVARIANT, SUBLANG_NEUTRAL), SORT_DEFAULT);

std::optional<std::wstring> asText(const VARIANT& value) {
    Variant converted;
    if (FAILED(VariantChangeTypeEx(converted.get(), const_cast<VARIANT*>(&value), kInvariant, 0, VT_BSTR))) return std::nullopt;
    const BSTR s = converted->bstrVal;
    return s ? std::wstring(s, SysStringLen(s)) : std::wstring();
}

} // namespace

bool DispatchArgs::present(size_t i) const {
    if (i >= count()) return false;
    const VARTYPE vt = at(i).vt;
    // JScript passes an omitted trailing argument as a missing-parameter error value.
    return vt != VT_EMPTY && !(vt == VT_ERROR && at(i).scode == DISP_E_PARAMNOTFOUND);
}

std::optional<std::wstring> DispatchArgs::text(size_t i) const {
    if (!present(i)) return std::nullopt;
    return asText(at(i));
}

std::optional<long> DispatchArgs::integer(size_t i) const {
    if (!present(i)) return std::nullopt;
    Variant converted;
    if (FAILED(VariantChangeTypeEx(converted.get(), const_cast<VARIANT*>(&at(i)), kInvariant, 0, VT_I4))) return std::nullopt;
    return converted->lVal;
}

std::wstring displayText(const VARIANT& value) {
    Variant plain;
    if (FAILED(VariantCopyInd(plain.get(), const_cast<VARIANT*>(&value)))) return L"<unreadable>";
    switch (plain->vt) {
    case VT_EMPTY: return L"undefined";
    case VT_NULL: return L"null";
    case VT_BOOL: return plain->boolVal ? L"true" : L"false";
    case VT_DISPATCH:
    case VT_UNKNOWN:
        if (!plain->punkVal) return L"null";
        break;
    default: break;
    }
    if (auto text = asText(*plain.get())) return *text;
    return L"[object]";
}

HRESULT raiseScriptError(EXCEPINFO* info, HRESULT code, const std::wstring& text) {
    if (!info) return code;
    *info = EXCEPINFO{};
    info->scode = code;
    info->bstrSource = Bstr(L"WScript").detach();
    info->bstrDescription = Bstr(text).detach();
    return DISP_E_EXCEPTION;
}

} // namespace orvixhost
