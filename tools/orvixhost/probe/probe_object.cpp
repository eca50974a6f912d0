#include "probe_object.h"

#include "probe_dialogs.h"

#include <olectl.h>

#include <map>
#include <string>

extern HMODULE g_probeModule;

namespace orvixhost::probe {

namespace {

// Running tick timers; a probe ends its timer before it goes away.
std::map<UINT_PTR, ProbeObject*>& tickers() {
    static std::map<UINT_PTR, ProbeObject*> timers;
    return timers;
}

void CALLBACK onTick(HWND, UINT, UINT_PTR id, DWORD) {
    auto found = tickers().find(id);
    if (found == tickers().end()) return;
    // The event may release the script's last reference to the probe.
    const auto probe = ComPtr<ProbeObject>::share(found->second);
    probe->tick();
}

std::wstring text(BSTR s) { return s ? std::wstring(s, SysStringLen(s)) : std::wstring(); }

HRESULT returnText(const std::wstring& value, BSTR* out) {
    if (!out) return E_POINTER;
    *out = SysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
}

} // namespace

HRESULT typeLibrary(ComPtr<ITypeLib>& out) {
    static ComPtr<ITypeLib> library;
    if (!library) {
        wchar_t path[MAX_PATH] = {};
        GetModuleFileNameW(g_probeModule, path, MAX_PATH);
        const HRESULT hr = LoadTypeLibEx(path, REGKIND_NONE, library.put());
        if (FAILED(hr)) return hr;
    }
    out = library;
    return S_OK;
}

ProbeObject::ProbeObject() : events_(makeObject<ProbeEvents>(*this)) {
    ComPtr<ITypeLib> library;
    if (SUCCEEDED(typeLibrary(library))) library->GetTypeInfoOfGuid(IID_IProbe, dispatchInfo_.put());
}

void* ProbeObject::findInterface(REFIID iid) {
    if (iid == IID_IDispatch) return static_cast<IProbe*>(this);
    if (iid == IID_IProvideClassInfo) return static_cast<IProvideClassInfo2*>(this);
    return nullptr;
}

STDMETHODIMP ProbeObject::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = dispatchInfo_ ? 1 : 0;
    return S_OK;
}

STDMETHODIMP ProbeObject::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0 || !dispatchInfo_) return DISP_E_BADINDEX;
    *info = ComPtr<ITypeInfo>(dispatchInfo_).detach();
    return S_OK;
}

STDMETHODIMP ProbeObject::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!dispatchInfo_) return E_UNEXPECTED;
    return DispGetIDsOfNames(dispatchInfo_.get(), names, count, ids);
}

STDMETHODIMP ProbeObject::Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                 EXCEPINFO* info, UINT* argError) {
    if (!dispatchInfo_) return E_UNEXPECTED;
    SetErrorInfo(0, nullptr);
    HRESULT hr = DispInvoke(static_cast<IProbe*>(this), dispatchInfo_.get(), id, flags, params, result, info, argError);
    if (FAILED(hr) && hr != DISP_E_EXCEPTION && info && HRESULT_FACILITY(hr) != FACILITY_DISPATCH) {
        // A method's own failure reaches the script as an Error with that number.
        *info = EXCEPINFO{};
        info->scode = hr;
        ComPtr<IErrorInfo> details;
        if (GetErrorInfo(0, details.put()) == S_OK && details) details->GetDescription(&info->bstrDescription);
        hr = DISP_E_EXCEPTION;
    }
    return hr;
}

HRESULT ProbeObject::fail(HRESULT code, const wchar_t* description) {
    ComPtr<ICreateErrorInfo> create;
    if (SUCCEEDED(CreateErrorInfo(create.put()))) {
        create->SetDescription(const_cast<LPOLESTR>(description));
        create->SetGUID(IID_IProbe);
        if (auto details = create.as<IErrorInfo>()) SetErrorInfo(0, details.get());
    }
    return code;
}

STDMETHODIMP ProbeObject::Fire(LONG number, BSTR message) {
    VARIANT args[2];
    args[1].vt = VT_I4;
    args[1].lVal = number;
    args[0].vt = VT_BSTR;
    args[0].bstrVal = message;  // borrowed: the caller owns it
    DISPPARAMS params{args, nullptr, 2, 0};
    events_->fire(1, params);
    return S_OK;
}

STDMETHODIMP ProbeObject::StartTicks(LONG count, LONG intervalMs) {
    if (count <= 0 || intervalMs <= 0) return fail(E_INVALIDARG, L"StartTicks needs a count and an interval");
    if (timer_) return fail(E_UNEXPECTED, L"ticks are already running");
    timer_ = SetTimer(nullptr, 0, static_cast<UINT>(intervalMs), &onTick);
    if (!timer_) return fail(E_FAIL, L"SetTimer failed");
    ticksLeft_ = count;
    ticksSent_ = 0;
    tickers().emplace(timer_, this);
    return S_OK;
}

ProbeObject::~ProbeObject() { stopTicks(); }

void ProbeObject::stopTicks() {
    if (!timer_) return;
    KillTimer(nullptr, timer_);
    tickers().erase(std::exchange(timer_, 0));
}

void ProbeObject::tick() {
    if (--ticksLeft_ <= 0) stopTicks();
    VARIANT arg;
    arg.vt = VT_I4;
    arg.lVal = ++ticksSent_;
    DISPPARAMS params{&arg, nullptr, 1, 0};
    events_->fire(2, params);
}

STDMETHODIMP ProbeObject::FireByRef(short value, short* after) {
    if (!after) return E_POINTER;
    VARIANT arg;
    arg.vt = VT_BYREF | VT_I2;
    arg.piVal = &value;
    DISPPARAMS params{&arg, nullptr, 1, 0};
    events_->fire(3, params);
    *after = value;
    return S_OK;
}

STDMETHODIMP ProbeObject::FireUnhandled() {
    DISPPARAMS none{nullptr, nullptr, 0, 0};
    events_->fire(4, none);
    return S_OK;
}

STDMETHODIMP ProbeObject::Fail(LONG code, BSTR description) {
    return fail(static_cast<HRESULT>(code), text(description).c_str());
}

STDMETHODIMP ProbeObject::ShowBoxA(BSTR message, BSTR caption, LONG flags, LONG* answer) {
    if (!answer) return E_POINTER;
    *answer = showBox(Charset::Ansi, text(message), text(caption), static_cast<unsigned>(flags));
    return S_OK;
}

STDMETHODIMP ProbeObject::ShowBoxW(BSTR message, BSTR caption, LONG flags, LONG* answer) {
    if (!answer) return E_POINTER;
    *answer = showBox(Charset::Wide, text(message), text(caption), static_cast<unsigned>(flags));
    return S_OK;
}

STDMETHODIMP ProbeObject::PickOpenA(BSTR title, BSTR filter, LONG flags, BSTR* paths) {
    return returnText(pickFile(FileDialog::Open, Charset::Ansi, text(title), text(filter), flags), paths);
}

STDMETHODIMP ProbeObject::PickSaveA(BSTR title, BSTR filter, LONG flags, BSTR* paths) {
    return returnText(pickFile(FileDialog::Save, Charset::Ansi, text(title), text(filter), flags), paths);
}

STDMETHODIMP ProbeObject::PickOpenW(BSTR title, BSTR filter, LONG flags, BSTR* paths) {
    return returnText(pickFile(FileDialog::Open, Charset::Wide, text(title), text(filter), flags), paths);
}

STDMETHODIMP ProbeObject::EnumConnectionPoints(IEnumConnectionPoints** points) {
    if (points) *points = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP ProbeObject::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
    if (!point) return E_POINTER;
    *point = nullptr;
    if (iid != DIID_DProbeEvents) return CONNECT_E_NOCONNECTION;
    *point = ComPtr<IConnectionPoint>::share(events_.get()).detach();
    return S_OK;
}

STDMETHODIMP ProbeObject::GetClassInfo(ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    ComPtr<ITypeLib> library;
    const HRESULT hr = typeLibrary(library);
    return FAILED(hr) ? hr : library->GetTypeInfoOfGuid(CLSID_Probe, info);
}

STDMETHODIMP ProbeObject::GetGUID(DWORD kind, GUID* guid) {
    if (!guid) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) return E_INVALIDARG;
    *guid = DIID_DProbeEvents;
    return S_OK;
}

} // namespace orvixhost::probe
