#pragma once
// The script's global WScript object: Echo, Quit, Sleep, ConnectObject and dialog answers.
#include "com_object.h"
#include "host_services.h"

#include <oaidl.h>

namespace orvixhost {

// The error number a Quit unwinds the script with; the host does not report it.
inline constexpr HRESULT kQuitUnwind = static_cast<HRESULT>(0x80040DEFu);

class WScriptObject final : public ComObject<IDispatch> {
public:
    explicit WScriptObject(HostServices& host) : host_(host) {}

    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* info, UINT* argError) override;

private:
    HRESULT echo(const DISPPARAMS* params);
    HRESULT quit(const DISPPARAMS* params, EXCEPINFO* info);
    HRESULT sleep(const DISPPARAMS* params, EXCEPINFO* info);
    HRESULT connect(const DISPPARAMS* params, EXCEPINFO* info);
    HRESULT disconnect(const DISPPARAMS* params, EXCEPINFO* info);
    HRESULT answerMessageBox(const DISPPARAMS* params, EXCEPINFO* info);
    HRESULT answerFileDialog(const DISPPARAMS* params, EXCEPINFO* info);
    HRESULT scriptPath(bool fullPath, VARIANT* result);

    HostServices& host_;
};

} // namespace orvixhost
