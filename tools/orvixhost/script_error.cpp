#include "script_error.h"

#include "text.h"

#include <windows.h>

namespace orvixhost {

namespace {

std::wstring systemMessage(HRESULT code) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM |
                                       FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, static_cast<DWORD>(code), 0,
                                   reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring out = n ? std::wstring(text, n) : std::wstring();
    LocalFree(text);
    while (!out.empty() && (out.back() == L'\n' || out.back() == L'\r' || out.back() == L' ')) out.pop_back();
    return out;
}

} // namespace

ScriptError readScriptError(IActiveScriptError& error) {
    ScriptError out;
    ExcepInfo info;
    const HRESULT hr = error.GetExceptionInfo(&info);
    out.code = SUCCEEDED(hr) ? info.code(E_FAIL) : hr;
    out.description = info.description();
    DWORD context = 0;
    ULONG line = 0;
    LONG column = 0;
    if (SUCCEEDED(error.GetSourcePosition(&context, &line, &column))) {
        out.line = static_cast<long>(line) + 1;
        out.cookie = context;
        out.hasCookie = true;
    }
    return out;
}

ScriptError fromExcepInfo(ExcepInfo& info, HRESULT result) {
    ScriptError out;
    out.code = result == DISP_E_EXCEPTION ? info.code(result) : result;
    out.description = info.description();
    return out;
}

std::wstring formatScriptError(const ScriptError& error, const std::wstring& where) {
    std::wstring text = L"error " + hex32(static_cast<unsigned long>(error.code)) + L": ";
    std::wstring description = error.description.empty() ? systemMessage(error.code) : error.description;
    text += description.empty() ? L"(no description)" : description;
    if (error.line >= 0) text += L" (line " + std::to_wstring(error.line) + L")";
    if (!where.empty()) text += L" " + where;
    return text;
}

} // namespace orvixhost
