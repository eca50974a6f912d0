#pragma once
// How a new sample reaches the user-interface thread: the grabber's callback,
// on the streaming thread, only posts the new-frame message to a hidden window
// of the thread that created the notifier; that window runs the handler.
#include <windows.h>
#include <qedit.h>

#include <atomic>
#include <functional>

#include "capture/capture_device.h"
#include "control/win32/com_ptr.h"

namespace orvix::dshow {

// A message-only window of the creating thread that runs `onNewFrame` for
// each new-frame message it receives.
class NewFrameWindow {
public:
    explicit NewFrameWindow(std::function<void()> onNewFrame);
    ~NewFrameWindow();
    NewFrameWindow(const NewFrameWindow&) = delete;
    NewFrameWindow& operator=(const NewFrameWindow&) = delete;

    HWND handle() const { return window_; }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    std::function<void()> onNewFrame_;
    HWND window_ = nullptr;
};

// The grabber's callback. While attached and while the device's notification
// switch is on, each sample posts the new-frame message with the device as its
// parameter; it never blocks and ignores failures.
class GrabberCallback final : public ISampleGrabberCB {
public:
    static com::ComPtr<GrabberCallback> create(HWND target, const CaptureDevice* device);
    GrabberCallback(HWND target, const CaptureDevice* device) : target_(target), device_(device) {}

    // Ends all posting; call it once the graph is stopped.
    void detach() { device_.store(nullptr); }

    STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    STDMETHODIMP SampleCB(double time, IMediaSample* sample) override;
    STDMETHODIMP BufferCB(double time, BYTE* buffer, long length) override;

private:
    LONG refs_ = 0;
    const HWND target_;
    std::atomic<const CaptureDevice*> device_;
};

}  // namespace orvix::dshow
