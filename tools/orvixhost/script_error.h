#pragma once
// One script error, from the engine's error object or from a failed call's EXCEPINFO,
// and its printed form: error 0xXXXXXXXX: description (line N).
#include "com_types.h"

#include <activscp.h>

#include <string>

namespace orvixhost {

struct ScriptError {
    HRESULT code = E_FAIL;
    std::wstring description;
    long line = -1;  // 1-based; -1 when unknown
    DWORD_PTR cookie = 0;
    bool hasCookie = false;
};

ScriptError readScriptError(IActiveScriptError& error);
ScriptError fromExcepInfo(ExcepInfo& info, HRESULT result);
// `where` is appended after the line, e.g. "in a.js" or "in handler x_Click".
std::wstring formatScriptError(const ScriptError& error, const std::wstring& where);

} // namespace orvixhost
