#pragma once
// The virtual camera as a DirectShow source filter with one capture pin.
#include <windows.h>
#include <dshow.h>

#include <mutex>
#include <string>

#include "control/win32/com_ptr.h"
#include "module.h"
#include "output_pin.h"

namespace orvix::vcam {

class CaptureFilter final : public IBaseFilter, public IAMFilterMiscFlags {
public:
    static HRESULT create(int instance, REFIID iid, void** out);
    explicit CaptureFilter(int instance) : instance_(instance), pin_(*this) {}
    ~CaptureFilter();

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IPersist
    STDMETHODIMP GetClassID(CLSID* clsid) override;
    // IMediaFilter
    STDMETHODIMP Stop() override;
    STDMETHODIMP Pause() override;
    STDMETHODIMP Run(REFERENCE_TIME start) override;
    STDMETHODIMP GetState(DWORD timeout, FILTER_STATE* state) override;
    STDMETHODIMP SetSyncSource(IReferenceClock* clock) override;
    STDMETHODIMP GetSyncSource(IReferenceClock** clock) override;
    // IBaseFilter
    STDMETHODIMP EnumPins(IEnumPins** pins) override;
    STDMETHODIMP FindPin(LPCWSTR id, IPin** pin) override;
    STDMETHODIMP QueryFilterInfo(FILTER_INFO* info) override;
    STDMETHODIMP JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    STDMETHODIMP QueryVendorInfo(LPWSTR* info) override;
    // IAMFilterMiscFlags: a live source.
    STDMETHODIMP_(ULONG) GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_SOURCE; }

    std::recursive_mutex& lock() { return lock_; }
    FILTER_STATE state() const { return state_; }

private:
    LONG refs_ = 0;
    const int instance_;
    std::recursive_mutex lock_;
    FILTER_STATE state_ = State_Stopped;
    com::ComPtr<IReferenceClock> clock_;
    IFilterGraph* graph_ = nullptr;  // not counted: the graph owns the filter
    std::wstring name_;
    OutputPin pin_;
    ModuleReference module_;
};

}  // namespace orvix::vcam
