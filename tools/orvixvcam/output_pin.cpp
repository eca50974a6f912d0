#include "output_pin.h"

#include <uuids.h>
#include <vfwmsgs.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "capture_filter.h"
#include "enumerators.h"

namespace orvix::vcam {
namespace {

using com::ComPtr;
using Guard = std::lock_guard<std::recursive_mutex>;

constexpr wchar_t kPinName[] = L"Capture";

// The current size first, then the other capabilities in their order.
std::vector<FrameSize> preferredSizes(FrameSize current) {
    std::vector<FrameSize> sizes{current};
    for (FrameSize s : kCapabilities) {
        if (!(s == current)) sizes.push_back(s);
    }
    return sizes;
}

}  // namespace

STDMETHODIMP OutputPin::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPin)) {
        *out = static_cast<IPin*>(this);
    } else if (IsEqualIID(iid, IID_IAMStreamConfig)) {
        *out = static_cast<IAMStreamConfig*>(this);
    } else if (IsEqualIID(iid, IID_IKsPropertySet)) {
        *out = static_cast<IKsPropertySet*>(this);
    } else {
        *out = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) OutputPin::AddRef() { return filter_.AddRef(); }
STDMETHODIMP_(ULONG) OutputPin::Release() { return filter_.Release(); }

// ---- IPin

STDMETHODIMP OutputPin::Connect(IPin* receiver, const AM_MEDIA_TYPE* mt) {
    if (!receiver) return E_POINTER;
    Guard guard(filter_.lock());
    if (peer_) return VFW_E_ALREADY_CONNECTED;
    if (filter_.state() != State_Stopped) return VFW_E_NOT_STOPPED;
    PIN_DIRECTION direction;
    if (FAILED(receiver->QueryDirection(&direction)) || direction != PINDIR_INPUT) return VFW_E_INVALID_DIRECTION;
    for (FrameSize size : preferredSizes(format_)) {
        if (mt && !admits(*mt, size)) continue;
        if (SUCCEEDED(connectAt(receiver, size))) return S_OK;
    }
    return VFW_E_NO_ACCEPTABLE_TYPES;
}

HRESULT OutputPin::connectAt(IPin* receiver, FrameSize size) {
    AM_MEDIA_TYPE mt;
    initVideoType(mt, size);
    if (!mt.pbFormat) return E_OUTOFMEMORY;
    peer_ = ComPtr<IPin>(receiver);
    const FrameSize previous = format_;
    format_ = size;
    HRESULT hr = receiver->ReceiveConnection(this, &mt);
    freeMediaTypeContents(mt);
    if (SUCCEEDED(hr)) {
        hr = decideAllocator();
        if (FAILED(hr)) receiver->Disconnect();
    }
    if (FAILED(hr)) {
        dropConnection();
        format_ = previous;
    }
    return hr;
}

HRESULT OutputPin::decideAllocator() {
    input_ = peer_.as<IMemInputPin>(IID_IMemInputPin);
    if (!input_) return E_NOINTERFACE;
    ALLOCATOR_PROPERTIES wanted{};
    input_->GetAllocatorRequirements(&wanted);
    wanted.cBuffers = std::max<long>(wanted.cBuffers, 3);
    wanted.cbBuffer = std::max<long>(wanted.cbBuffer, static_cast<long>(imageBytes(format_)));
    wanted.cbAlign = std::max<long>(wanted.cbAlign, 1);
    const auto tryAllocator = [&](const ComPtr<IMemAllocator>& allocator) {
        ALLOCATOR_PROPERTIES actual{};
        if (!allocator || FAILED(allocator->SetProperties(&wanted, &actual))) return false;
        if (actual.cbBuffer < static_cast<long>(imageBytes(format_)) || actual.cBuffers < 1) return false;
        if (FAILED(input_->NotifyAllocator(allocator.get(), FALSE))) return false;
        allocator_ = allocator;
        return true;
    };
    ComPtr<IMemAllocator> theirs;
    if (SUCCEEDED(input_->GetAllocator(theirs.put())) && tryAllocator(theirs)) return S_OK;
    ComPtr<IMemAllocator> ours;
    if (SUCCEEDED(CoCreateInstance(CLSID_MemoryAllocator, nullptr, CLSCTX_INPROC_SERVER, IID_IMemAllocator,
                                   reinterpret_cast<void**>(ours.put()))) &&
        tryAllocator(ours)) {
        return S_OK;
    }
    return VFW_E_NO_ALLOCATOR;
}

void OutputPin::dropConnection() {
    allocator_.reset();
    input_.reset();
    peer_.reset();
}

STDMETHODIMP OutputPin::ReceiveConnection(IPin*, const AM_MEDIA_TYPE*) { return E_UNEXPECTED; }

STDMETHODIMP OutputPin::Disconnect() {
    Guard guard(filter_.lock());
    if (filter_.state() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (!peer_) return S_FALSE;
    dropConnection();
    return S_OK;
}

STDMETHODIMP OutputPin::ConnectedTo(IPin** pin) {
    if (!pin) return E_POINTER;
    Guard guard(filter_.lock());
    peer_.copyTo(pin);
    return peer_ ? S_OK : VFW_E_NOT_CONNECTED;
}

STDMETHODIMP OutputPin::ConnectionMediaType(AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    Guard guard(filter_.lock());
    if (!peer_) {
        std::memset(mt, 0, sizeof *mt);
        return VFW_E_NOT_CONNECTED;
    }
    initVideoType(*mt, format_);
    return mt->pbFormat ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP OutputPin::QueryPinInfo(PIN_INFO* info) {
    if (!info) return E_POINTER;
    info->pFilter = &filter_;
    filter_.AddRef();
    info->dir = PINDIR_OUTPUT;
    static_assert(sizeof kPinName <= sizeof info->achName);
    std::memcpy(info->achName, kPinName, sizeof kPinName);
    return S_OK;
}

STDMETHODIMP OutputPin::QueryDirection(PIN_DIRECTION* direction) {
    if (!direction) return E_POINTER;
    *direction = PINDIR_OUTPUT;
    return S_OK;
}

STDMETHODIMP OutputPin::QueryId(LPWSTR* id) {
    if (!id) return E_POINTER;
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(sizeof kPinName));
    if (!*id) return E_OUTOFMEMORY;
    std::memcpy(*id, kPinName, sizeof kPinName);
    return S_OK;
}

STDMETHODIMP OutputPin::QueryAccept(const AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    return deliverableSize(*mt) ? S_OK : S_FALSE;
}

STDMETHODIMP OutputPin::EnumMediaTypes(IEnumMediaTypes** types) {
    Guard guard(filter_.lock());
    return createMediaTypeEnumerator(preferredSizes(format_), types);
}

STDMETHODIMP OutputPin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }
STDMETHODIMP OutputPin::EndOfStream() { return E_UNEXPECTED; }
STDMETHODIMP OutputPin::BeginFlush() { return E_UNEXPECTED; }
STDMETHODIMP OutputPin::EndFlush() { return E_UNEXPECTED; }
STDMETHODIMP OutputPin::NewSegment(REFERENCE_TIME, REFERENCE_TIME, double) { return S_OK; }

// ---- IAMStreamConfig

STDMETHODIMP OutputPin::SetFormat(AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    const std::optional<FrameSize> size = deliverableSize(*mt);
    if (!size) return VFW_E_INVALIDMEDIATYPE;
    Guard guard(filter_.lock());
    if (filter_.state() != State_Stopped) return VFW_E_NOT_STOPPED;
    if (!peer_ || *size == format_) {
        format_ = *size;
        return S_OK;
    }
    // Connected at another size: connect again to the same peer, if it takes the new size.
    AM_MEDIA_TYPE asked;
    initVideoType(asked, *size);
    const HRESULT accepted = asked.pbFormat ? peer_->QueryAccept(&asked) : E_OUTOFMEMORY;
    freeMediaTypeContents(asked);
    if (accepted != S_OK) return VFW_E_INVALIDMEDIATYPE;
    const ComPtr<IPin> peer = peer_;
    const FrameSize previous = format_;
    peer->Disconnect();
    dropConnection();
    HRESULT hr = connectAt(peer.get(), *size);
    if (FAILED(hr)) connectAt(peer.get(), previous);
    return hr;
}

STDMETHODIMP OutputPin::GetFormat(AM_MEDIA_TYPE** mt) {
    if (!mt) return E_POINTER;
    Guard guard(filter_.lock());
    *mt = newVideoType(format_);
    return *mt ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP OutputPin::GetNumberOfCapabilities(int* count, int* size) {
    if (!count || !size) return E_POINTER;
    *count = static_cast<int>(kCapabilities.size());
    *size = sizeof(VIDEO_STREAM_CONFIG_CAPS);
    return S_OK;
}

STDMETHODIMP OutputPin::GetStreamCaps(int index, AM_MEDIA_TYPE** mt, BYTE* caps) {
    if (!mt || !caps) return E_POINTER;
    if (index < 0 || index >= static_cast<int>(kCapabilities.size())) return S_FALSE;
    *mt = newVideoType(kCapabilities[static_cast<std::size_t>(index)]);
    if (!*mt) return E_OUTOFMEMORY;
    fillStreamCaps(*reinterpret_cast<VIDEO_STREAM_CONFIG_CAPS*>(caps), kCapabilities[static_cast<std::size_t>(index)]);
    return S_OK;
}

// ---- IKsPropertySet

STDMETHODIMP OutputPin::Set(REFGUID set, DWORD, void*, DWORD, void*, DWORD) {
    return IsEqualGUID(set, AMPROPSETID_Pin) ? E_PROP_ID_UNSUPPORTED : E_PROP_SET_UNSUPPORTED;
}

STDMETHODIMP OutputPin::Get(REFGUID set, DWORD id, void*, DWORD, void* data, DWORD dataBytes, DWORD* returned) {
    if (!IsEqualGUID(set, AMPROPSETID_Pin)) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (!data && !returned) return E_POINTER;
    if (returned) *returned = sizeof(GUID);
    if (!data) return S_OK;
    if (dataBytes < sizeof(GUID)) return E_UNEXPECTED;
    *static_cast<GUID*>(data) = PIN_CATEGORY_CAPTURE;
    return S_OK;
}

STDMETHODIMP OutputPin::QuerySupported(REFGUID set, DWORD id, DWORD* support) {
    if (!IsEqualGUID(set, AMPROPSETID_Pin)) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (support) *support = KSPROPERTY_SUPPORT_GET;
    return S_OK;
}

// ---- streaming

HRESULT OutputPin::activate(int instance) {
    if (!peer_) return S_OK;  // an unconnected pin has nothing to deliver to
    return stream_.start(allocator_, input_, format_, instance);
}

}  // namespace orvix::vcam
