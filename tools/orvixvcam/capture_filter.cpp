#include "capture_filter.h"

#include <vfwmsgs.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "enumerators.h"
#include "vcam_ids.h"

namespace orvix::vcam {
namespace {

using com::ComPtr;
using Guard = std::lock_guard<std::recursive_mutex>;

}  // namespace

HRESULT CaptureFilter::create(int instance, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    try {
        // COM owns the object from here on; Release destroys it.
        CaptureFilter* filter = std::make_unique<CaptureFilter>(instance).release();
        filter->AddRef();
        const HRESULT hr = filter->QueryInterface(iid, out);
        filter->Release();
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

CaptureFilter::~CaptureFilter() { pin_.deactivate(); }

STDMETHODIMP CaptureFilter::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPersist) || IsEqualIID(iid, IID_IMediaFilter) ||
        IsEqualIID(iid, IID_IBaseFilter)) {
        *out = static_cast<IBaseFilter*>(this);
    } else if (IsEqualIID(iid, IID_IAMFilterMiscFlags)) {
        *out = static_cast<IAMFilterMiscFlags*>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) CaptureFilter::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

STDMETHODIMP_(ULONG) CaptureFilter::Release() {
    const LONG n = InterlockedDecrement(&refs_);
    if (n == 0) std::unique_ptr<CaptureFilter>{this};
    return static_cast<ULONG>(n);
}

STDMETHODIMP CaptureFilter::GetClassID(CLSID* clsid) {
    if (!clsid) return E_POINTER;
    *clsid = instanceClsid(instance_);
    return S_OK;
}

STDMETHODIMP CaptureFilter::Stop() {
    Guard guard(lock_);
    if (state_ != State_Stopped) pin_.deactivate();
    state_ = State_Stopped;
    return S_OK;
}

STDMETHODIMP CaptureFilter::Pause() {
    Guard guard(lock_);
    if (state_ == State_Stopped) {
        const HRESULT hr = pin_.activate(instance_);
        if (FAILED(hr)) return hr;
    } else {
        pin_.pause();
    }
    state_ = State_Paused;
    return S_OK;
}

STDMETHODIMP CaptureFilter::Run(REFERENCE_TIME start) {
    Guard guard(lock_);
    if (state_ == State_Stopped) {
        const HRESULT hr = Pause();
        if (FAILED(hr)) return hr;
    }
    pin_.run(clock_, start);
    state_ = State_Running;
    return S_OK;
}

STDMETHODIMP CaptureFilter::GetState(DWORD, FILTER_STATE* state) {
    if (!state) return E_POINTER;
    Guard guard(lock_);
    *state = state_;
    // A live source has nothing to cue while paused.
    return state_ == State_Paused ? VFW_S_CANT_CUE : S_OK;
}

STDMETHODIMP CaptureFilter::SetSyncSource(IReferenceClock* clock) {
    Guard guard(lock_);
    clock_ = ComPtr<IReferenceClock>(clock);
    return S_OK;
}

STDMETHODIMP CaptureFilter::GetSyncSource(IReferenceClock** clock) {
    if (!clock) return E_POINTER;
    Guard guard(lock_);
    clock_.copyTo(clock);
    return S_OK;
}

STDMETHODIMP CaptureFilter::EnumPins(IEnumPins** pins) {
    return createPinEnumerator({static_cast<IPin*>(&pin_)}, pins);
}

STDMETHODIMP CaptureFilter::FindPin(LPCWSTR id, IPin** pin) {
    if (!id || !pin) return E_POINTER;
    *pin = nullptr;
    LPWSTR ours = nullptr;
    if (FAILED(pin_.QueryId(&ours))) return E_OUTOFMEMORY;
    const bool same = std::wcscmp(ours, id) == 0;
    CoTaskMemFree(ours);
    if (!same) return VFW_E_NOT_FOUND;
    *pin = &pin_;
    pin_.AddRef();
    return S_OK;
}

STDMETHODIMP CaptureFilter::QueryFilterInfo(FILTER_INFO* info) {
    if (!info) return E_POINTER;
    Guard guard(lock_);
    std::memset(info, 0, sizeof *info);
    const std::size_t n = std::min<std::size_t>(name_.size(), MAX_FILTER_NAME - 1);
    std::memcpy(info->achName, name_.data(), n * sizeof(wchar_t));
    info->pGraph = graph_;
    if (graph_) graph_->AddRef();
    return S_OK;
}

STDMETHODIMP CaptureFilter::JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) {
    Guard guard(lock_);
    graph_ = graph;
    name_ = name ? name : L"";
    return S_OK;
}

STDMETHODIMP CaptureFilter::QueryVendorInfo(LPWSTR*) { return E_NOTIMPL; }

}  // namespace orvix::vcam
