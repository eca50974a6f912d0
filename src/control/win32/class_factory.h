#pragma once
// The server's factory list: one factory, for the coclass Orvix.
#include <windows.h>
#include <unknwn.h>

namespace orvix::com {

// The factory for clsid, or null when the server has none for it.
IClassFactory* findClassFactory(REFCLSID clsid);

}  // namespace orvix::com
