#pragma once
// What the WScript object asks of the host that runs the scripts.
#include <windows.h>
#include <unknwn.h>

#include <string>

namespace orvixhost {

class HostServices {
public:
    virtual bool quitting() const = 0;
    virtual void requestQuit(int code) = 0;
    virtual HRESULT connectObject(IUnknown* object, const std::wstring& prefix, std::wstring& why) = 0;
    virtual HRESULT disconnectObject(IUnknown* object) = 0;
    virtual std::wstring currentScriptPath() const = 0;

protected:
    ~HostServices() = default;
};

} // namespace orvixhost
