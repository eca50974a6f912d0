#include "wscript_object.h"

#include "com_types.h"
#include "dialog_answers.h"
#include "dispatch_args.h"
#include "message_pump.h"
#include "output.h"

#include <windows.h>

#include <algorithm>
#include <iterator>

namespace orvixhost {

namespace {

enum Member : DISPID {
    kEcho = 1,
    kQuit,
    kSleep,
    kConnectObject,
    kDisconnectObject,
    kAnswerNextMessageBox,
    kAnswerNextFileDialog,
    kScriptFullName,
    kScriptName,
};

struct MemberName {
    const wchar_t* name;
    DISPID id;
};

constexpr MemberName kMembers[] = {
    {L"Echo", kEcho},
    {L"Quit", kQuit},
    {L"Sleep", kSleep},
    {L"ConnectObject", kConnectObject},
    {L"DisconnectObject", kDisconnectObject},
    {L"AnswerNextMessageBox", kAnswerNextMessageBox},
    {L"AnswerNextFileDialog", kAnswerNextFileDialog},
    {L"ScriptFullName", kScriptFullName},
    {L"ScriptName", kScriptName},
};

HRESULT quitUnwind(EXCEPINFO* info) { return raiseScriptError(info, kQuitUnwind, L"WScript.Quit"); }

IUnknown* objectArgument(const DispatchArgs& args, size_t i) {
    if (!args.present(i)) return nullptr;
    const VARIANT& v = args.at(i);
    if (v.vt == VT_DISPATCH || v.vt == VT_UNKNOWN) return v.punkVal;
    if (v.vt == (VT_BYREF | VT_DISPATCH) || v.vt == (VT_BYREF | VT_UNKNOWN)) return v.ppunkVal ? *v.ppunkVal : nullptr;
    return nullptr;
}

} // namespace

STDMETHODIMP WScriptObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
}

STDMETHODIMP WScriptObject::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    if (info) *info = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP WScriptObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!names || !ids || count == 0) return E_INVALIDARG;
    HRESULT hr = S_OK;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    for (const auto& member : kMembers) {
        if (CompareStringOrdinal(names[0], -1, member.name, -1, TRUE) == CSTR_EQUAL) ids[0] = member.id;
    }
    if (ids[0] == DISPID_UNKNOWN || count > 1) hr = DISP_E_UNKNOWNNAME;  // no named arguments
    return hr;
}

STDMETHODIMP WScriptObject::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* info, UINT*) {
    if (result) VariantInit(result);
    if (std::none_of(std::begin(kMembers), std::end(kMembers), [id](auto& m) { return m.id == id; }))
        return DISP_E_MEMBERNOTFOUND;
    // After Quit every call unwinds again, even when a catch block swallowed the first.
    if (host_.quitting()) return quitUnwind(info);
    switch (id) {
    case kEcho: return echo(params);
    case kQuit: return quit(params, info);
    case kSleep: return sleep(params, info);
    case kConnectObject: return connect(params, info);
    case kDisconnectObject: return disconnect(params, info);
    case kAnswerNextMessageBox: return answerMessageBox(params, info);
    case kAnswerNextFileDialog: return answerFileDialog(params, info);
    case kScriptFullName: return scriptPath(true, result);
    case kScriptName: return scriptPath(false, result);
    default: return DISP_E_MEMBERNOTFOUND;
    }
}

HRESULT WScriptObject::echo(const DISPPARAMS* params) {
    const DispatchArgs args(params);
    std::wstring line;
    for (size_t i = 0; i < args.count(); ++i) {
        if (i) line += L' ';
        line += displayText(args.at(i));
    }
    printLine(line);
    return S_OK;
}

HRESULT WScriptObject::quit(const DISPPARAMS* params, EXCEPINFO* info) {
    const DispatchArgs args(params);
    if (args.present(0) && !args.integer(0)) return raiseScriptError(info, E_INVALIDARG, L"Quit needs a number");
    host_.requestQuit(static_cast<int>(args.integer(0).value_or(0)));
    return quitUnwind(info);
}

HRESULT WScriptObject::sleep(const DISPPARAMS* params, EXCEPINFO* info) {
    const auto ms = DispatchArgs(params).integer(0);
    if (!ms || *ms < 0) return raiseScriptError(info, E_INVALIDARG, L"Sleep needs milliseconds");
    pumpMessages(static_cast<unsigned long>(*ms), [this] { return host_.quitting(); });
    // A Quit from an event handler during the wait ends the sleeping script too.
    return host_.quitting() ? quitUnwind(info) : S_OK;
}

HRESULT WScriptObject::connect(const DISPPARAMS* params, EXCEPINFO* info) {
    const DispatchArgs args(params);
    IUnknown* object = objectArgument(args, 0);
    const auto prefix = args.text(1);
    if (!object || !prefix) return raiseScriptError(info, E_INVALIDARG, L"ConnectObject needs an object and a prefix");
    std::wstring why;
    const HRESULT hr = host_.connectObject(object, *prefix, why);
    return FAILED(hr) ? raiseScriptError(info, hr, L"ConnectObject: " + why) : S_OK;
}

HRESULT WScriptObject::disconnect(const DISPPARAMS* params, EXCEPINFO* info) {
    IUnknown* object = objectArgument(DispatchArgs(params), 0);
    if (!object) return raiseScriptError(info, E_INVALIDARG, L"DisconnectObject needs an object");
    const HRESULT hr = host_.disconnectObject(object);
    return FAILED(hr) ? raiseScriptError(info, hr, L"DisconnectObject: the object is not connected") : S_OK;
}

HRESULT WScriptObject::answerMessageBox(const DISPPARAMS* params, EXCEPINFO* info) {
    const auto id = DispatchArgs(params).integer(0);
    if (!id) return raiseScriptError(info, E_INVALIDARG, L"AnswerNextMessageBox needs a button id");
    DialogAnswers::instance().queueMessageBox(static_cast<int>(*id));
    return S_OK;
}

HRESULT WScriptObject::answerFileDialog(const DISPPARAMS* params, EXCEPINFO* info) {
    auto names = DispatchArgs(params).text(0);
    if (!names) return raiseScriptError(info, E_INVALIDARG, L"AnswerNextFileDialog needs file names");
    DialogAnswers::instance().queueFileDialog(std::move(*names));
    return S_OK;
}

HRESULT WScriptObject::scriptPath(bool fullPath, VARIANT* result) {
    std::wstring path = host_.currentScriptPath();
    if (!fullPath) path = path.substr(path.find_last_of(L"\\/") + 1);
    if (result) {
        result->vt = VT_BSTR;
        result->bstrVal = Bstr(path).detach();
    }
    return S_OK;
}

} // namespace orvixhost
