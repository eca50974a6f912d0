// The four entry points of the in-process server.
#include <windows.h>

#include "control/win32/class_factory.h"
#include "control/win32/module.h"
#include "control/win32/registration.h"

extern "C" {

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        orvix::com::setModuleHandle(instance);
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    IClassFactory* factory = orvix::com::findClassFactory(clsid);
    if (!factory) return CLASS_E_CLASSNOTAVAILABLE;
    return factory->QueryInterface(iid, out);
}

STDAPI DllCanUnloadNow() { return orvix::com::canUnloadNow() ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() { return orvix::com::registerServer(); }

STDAPI DllUnregisterServer() { return orvix::com::unregisterServer(); }

}  // extern "C"
