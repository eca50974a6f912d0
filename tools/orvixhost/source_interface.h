#pragma once
// Finds the default event interface of a COM object from its type information.
#include "com_ptr.h"

#include <oaidl.h>

#include <string>

namespace orvixhost {

struct SourceInterface {
    IID iid{};
    ComPtr<ITypeInfo> info;  // a dispinterface: its member names are the event names
};

HRESULT findDefaultSource(IUnknown& object, SourceInterface& out, std::wstring& why);

} // namespace orvixhost
