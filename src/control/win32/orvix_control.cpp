#include "control/win32/orvix_control.h"

#include <olectl.h>

#include "capture/capture_controller.h"
#include "control/win32/error_info.h"
#include "control/win32/module.h"
#include "ui/frame.h"
#include "control/win32/control_texts.h"
#include "ui/win32/win32_message_pump.h"
#include "ui/win32/win32_shell.h"

namespace orvix::com {

HRESULT OrvixControl::create(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    try {
        // COM owns the object from here on; Release destroys it.
        OrvixControl* control = std::make_unique<OrvixControl>().release();
        control->AddRef();
        HRESULT hr = control->QueryInterface(iid, out);
        control->Release();
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (const OleSysError& e) {
        return e.code();
    } catch (...) {
        return E_UNEXPECTED;
    }
}

OrvixControl::OrvixControl()
    : codePage_(makeSystemCodePage()),
      shell_(std::make_unique<Win32Shell>()),
      pump_(std::make_unique<Win32MessagePump>()),
      frame_(std::make_unique<TmyOrvixCamFrame>(*shell_, *pump_)),
      capture_(std::make_unique<CaptureController>(*frame_, *shell_, *pump_, makePlatformCaptureDevice())),
      events_(*this, DIID_IOrvixEvents, 1, [this](bool connected) { sinkChanged(connected); }),
      propertyNotify_(*this, IID_IPropertyNotifySink, 0) {
    typeLib();  // a control without its type library cannot dispatch: fail the creation
    form_.caption = texts::kFormCaption;
    // The form's create handler: the camera lists, with their message boxes
    // while the host is still creating the control.
    capture_->initCapture();
    objectCreated();
}

OrvixControl::~OrvixControl() {
    fireEvent(205);  // OnDestroy
    events_.disconnectAll();
    propertyNotify_.disconnectAll();
    objectDestroyed();
}

// ---- events

void OrvixControl::sinkChanged(bool connected) {
    // Only the very first change, and only a connection, announces the control.
    if (sinkChanges_++ == 0 && connected) fireEvent(203);  // OnCreate
}

namespace {

void invokeSink(IUnknown* sink, DISPID event, DISPPARAMS& params) {
    auto* dispatch = static_cast<IDispatch*>(sink);  // queried for the event interface
    EXCEPINFO exception{};
    UINT argError = 0;
    dispatch->Invoke(event, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, &exception, &argError);
    // A failing handler must not affect the control.
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
}

}  // namespace

void OrvixControl::fireEvent(DISPID event) {
    for (const ComPtr<IUnknown>& sink : events_.sinks()) {
        DISPPARAMS params{};
        invokeSink(sink.get(), event, params);
    }
}

char OrvixControl::fireKeyPress(char key) {
    SHORT value = static_cast<unsigned char>(key);
    for (const ComPtr<IUnknown>& sink : events_.sinks()) {
        VARIANT arg;
        VariantInit(&arg);
        arg.vt = VT_BYREF | VT_I2;
        arg.piVal = &value;
        DISPPARAMS params{&arg, nullptr, 1, 0};
        invokeSink(sink.get(), 207, params);
    }
    return static_cast<char>(value & 0xFF);
}

// ---- IUnknown

STDMETHODIMP OrvixControl::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IOrvix))
        *out = static_cast<IOrvix*>(this);
    else if (IsEqualIID(iid, IID_IProvideClassInfo) || IsEqualIID(iid, IID_IProvideClassInfo2))
        *out = static_cast<IProvideClassInfo2*>(this);
    else if (IsEqualIID(iid, IID_ISupportErrorInfo))
        *out = static_cast<ISupportErrorInfo*>(this);
    else if (IsEqualIID(iid, IID_IConnectionPointContainer))
        *out = static_cast<IConnectionPointContainer*>(this);
    else if (IsEqualIID(iid, IID_IObjectSafety))
        *out = static_cast<IObjectSafety*>(this);
    else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) OrvixControl::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) OrvixControl::Release() {
    LONG n = InterlockedDecrement(&refs_);
    if (n == 0) {
        // OnDestroy handlers may take and drop references while we are torn down.
        refs_ = 1 << 28;
        std::unique_ptr<OrvixControl>{this};
    }
    return static_cast<ULONG>(n);
}

// ---- IDispatch: the type library's standard dispatch onto the IOrvix vtable

STDMETHODIMP OrvixControl::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

STDMETHODIMP OrvixControl::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    try {
        *out = typeInfoOf(IID_IOrvix).detach();
        return S_OK;
    } catch (const OleSysError& e) {
        return e.code();
    }
}

STDMETHODIMP OrvixControl::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    try {
        return typeInfoOf(IID_IOrvix)->GetIDsOfNames(names, count, ids);
    } catch (const OleSysError& e) {
        return e.code();
    }
}

STDMETHODIMP OrvixControl::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                  EXCEPINFO* exception, UINT* argError) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    ComPtr<ITypeInfo> info;
    try {
        info = typeInfoOf(IID_IOrvix);
    } catch (const OleSysError& e) {
        return e.code();
    }
    // A property put may reach a put-by-reference (Font has both).
    if (flags & DISPATCH_PROPERTYPUT) flags |= DISPATCH_PROPERTYPUTREF;
    SetErrorInfo(0, nullptr);
    HRESULT hr = info->Invoke(static_cast<IOrvix*>(this), id, flags, params, result, exception, argError);
    if (FAILED(hr) && hr != DISP_E_EXCEPTION && HRESULT_FACILITY(hr) != FACILITY_DISPATCH && exception) {
        // The member failed: hand its error object to the script as an exception.
        ComPtr<IErrorInfo> error;
        if (GetErrorInfo(0, error.put()) == S_OK && error) {
            *exception = EXCEPINFO{};
            error->GetSource(&exception->bstrSource);
            error->GetDescription(&exception->bstrDescription);
            error->GetHelpFile(&exception->bstrHelpFile);
            error->GetHelpContext(&exception->dwHelpContext);
            exception->scode = hr;
            return DISP_E_EXCEPTION;
        }
    }
    return hr;
}

// ---- IProvideClassInfo2

STDMETHODIMP OrvixControl::GetClassInfo(ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    try {
        *out = typeInfoOf(CLSID_Orvix).detach();
        return S_OK;
    } catch (const OleSysError& e) {
        return e.code();
    }
}

STDMETHODIMP OrvixControl::GetGUID(DWORD kind, GUID* out) {
    if (!out) return E_POINTER;
    if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
        *out = GUID_NULL;
        return E_INVALIDARG;
    }
    *out = DIID_IOrvixEvents;
    return S_OK;
}

// ---- ISupportErrorInfo: IOrvix belongs to the form, not to this object

bool OrvixControl::answers(REFIID iid) {
    IUnknown* probe = nullptr;
    if (FAILED(QueryInterface(iid, reinterpret_cast<void**>(&probe)))) return false;
    probe->Release();
    return true;
}

STDMETHODIMP OrvixControl::InterfaceSupportsErrorInfo(REFIID iid) {
    if (IsEqualIID(iid, IID_IOrvix)) return S_FALSE;
    return answers(iid) ? S_OK : S_FALSE;
}

// ---- IConnectionPointContainer

STDMETHODIMP OrvixControl::EnumConnectionPoints(IEnumConnectionPoints** out) {
    return enumConnectionPoints(*static_cast<IOrvix*>(this), {&events_, &propertyNotify_}, out);
}

STDMETHODIMP OrvixControl::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    for (ConnectionPoint* point : {&events_, &propertyNotify_}) {
        if (IsEqualIID(iid, point->iid())) {
            *out = point;
            point->AddRef();
            return S_OK;
        }
    }
    return CONNECT_E_NOCONNECTION;
}

// ---- IObjectSafety: safe for scripting and for untrusted data, on every interface

STDMETHODIMP OrvixControl::GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) {
    if (!supported || !enabled) return E_POINTER;
    if (!answers(iid)) {
        *supported = 0;
        *enabled = 0;
        return E_NOINTERFACE;
    }
    *supported = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
    *enabled = safety_ & *supported;
    return S_OK;
}

STDMETHODIMP OrvixControl::SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) {
    if (!answers(iid)) return E_NOINTERFACE;
    safety_ = mask & enabled;
    return S_OK;
}

}  // namespace orvix::com
