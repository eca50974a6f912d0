#pragma once
// The camera's one output pin, in the capture category: it connects in 24-bit
// RGB at the current size, lets a client pick one of the four sizes through
// IAMStreamConfig (reconnecting when already connected) and feeds the
// downstream allocator from its frame stream.
#include <windows.h>
#include <dshow.h>

#include "control/win32/com_ptr.h"
#include "frame_stream.h"
#include "media_types.h"

namespace orvix::vcam {

class CaptureFilter;

class OutputPin final : public IPin, public IAMStreamConfig, public IKsPropertySet {
public:
    explicit OutputPin(CaptureFilter& filter) : filter_(filter) {}

    // IUnknown: the pin lives and dies with its filter.
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // IPin
    STDMETHODIMP Connect(IPin* receiver, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP Disconnect() override;
    STDMETHODIMP ConnectedTo(IPin** pin) override;
    STDMETHODIMP ConnectionMediaType(AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP QueryPinInfo(PIN_INFO* info) override;
    STDMETHODIMP QueryDirection(PIN_DIRECTION* direction) override;
    STDMETHODIMP QueryId(LPWSTR* id) override;
    STDMETHODIMP QueryAccept(const AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP EnumMediaTypes(IEnumMediaTypes** types) override;
    STDMETHODIMP QueryInternalConnections(IPin** pins, ULONG* count) override;
    STDMETHODIMP EndOfStream() override;
    STDMETHODIMP BeginFlush() override;
    STDMETHODIMP EndFlush() override;
    STDMETHODIMP NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    // IAMStreamConfig
    STDMETHODIMP SetFormat(AM_MEDIA_TYPE* mt) override;
    STDMETHODIMP GetFormat(AM_MEDIA_TYPE** mt) override;
    STDMETHODIMP GetNumberOfCapabilities(int* count, int* size) override;
    STDMETHODIMP GetStreamCaps(int index, AM_MEDIA_TYPE** mt, BYTE* caps) override;

    // IKsPropertySet: only the pin category, read-only.
    STDMETHODIMP Set(REFGUID set, DWORD id, void* instance, DWORD instanceBytes, void* data, DWORD dataBytes) override;
    STDMETHODIMP Get(REFGUID set, DWORD id, void* instance, DWORD instanceBytes, void* data, DWORD dataBytes,
                     DWORD* returned) override;
    STDMETHODIMP QuerySupported(REFGUID set, DWORD id, DWORD* support) override;

    // State changes, called by the filter under its lock.
    HRESULT activate(int instance);
    void run(com::ComPtr<IReferenceClock> clock, REFERENCE_TIME streamStart) { stream_.run(std::move(clock), streamStart); }
    void pause() { stream_.pause(); }
    void deactivate() { stream_.stop(); }

private:
    // Connects at `size` or leaves the pin unconnected.
    HRESULT connectAt(IPin* receiver, FrameSize size);
    HRESULT decideAllocator();
    void dropConnection();

    CaptureFilter& filter_;
    FrameSize format_ = kCapabilities.front();
    com::ComPtr<IPin> peer_;
    com::ComPtr<IMemInputPin> input_;
    com::ComPtr<IMemAllocator> allocator_;
    FrameStream stream_;
};

}  // namespace orvix::vcam
