#pragma once
// Receives a COM object's events and hands each to the script as prefix + event name.
#include "com_object.h"
#include "source_interface.h"

#include <oaidl.h>

#include <map>
#include <string>

namespace orvixhost {

class EventTarget {
public:
    // Calls the script function `function` with the event's arguments (DISPPARAMS order).
    virtual void raiseEvent(const std::wstring& function, DISPPARAMS& args) = 0;

protected:
    ~EventTarget() = default;
};

class EventSink final : public ComObject<IDispatch> {
public:
    EventSink(SourceInterface source, std::wstring prefix, EventTarget& target)
        : source_(std::move(source)), prefix_(std::move(prefix)), target_(target) {}

    STDMETHODIMP GetTypeInfoCount(UINT* count) override;
    STDMETHODIMP GetTypeInfo(UINT index, LCID, ITypeInfo** info) override;
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override;
    STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                        EXCEPINFO* info, UINT* argError) override;

private:
    // The event source queries its own IID before calling back.
    void* findInterface(REFIID iid) override;
    const std::wstring& eventName(DISPID id);

    SourceInterface source_;
    std::wstring prefix_;
    EventTarget& target_;
    std::map<DISPID, std::wstring> names_;
};

} // namespace orvixhost
