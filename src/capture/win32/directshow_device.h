#pragma once
// The capture device on DirectShow: devices from the system device
// enumerator, a capture graph ending in a null renderer, with a sample grabber
// restricted to 24-bit RGB when frames are wanted, and the capture pin's
// stream configuration for the format table.
#include <windows.h>
#include <dshow.h>
#include <qedit.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "capture/capture_device.h"
#include "capture/win32/frame_notifier.h"
#include "capture/win32/video_devices.h"
#include "control/win32/com_ptr.h"

namespace orvix::dshow {

class DirectShowDevice final : public CaptureDevice {
public:
    // Initialises OLE for the calling thread (the user-interface thread).
    DirectShowDevice();
    ~DirectShowDevice() override;

    std::vector<std::string> deviceNames() override;
    void selectDevice(int index, int instance) override;
    bool grabberEnabled() const override { return grabberEnabled_; }
    void setGrabberEnabled(bool enabled) override { grabberEnabled_ = enabled; }
    void connect() override;
    bool isConnected() const override { return static_cast<bool>(graph_); }
    int formatCount() const override { return static_cast<int>(formats_.size()); }
    TIEVideoFormat formatAt(int i) const override;
    void applyFormat(int width, int height, const std::string& subtypeName) override;
    void run() override;
    void stopWhenReady() override;
    void disconnect() override;
    void grabFrame(Image& bitmap) override;

private:
    void buildGraph();
    void releaseGraph();
    void renderCapture();
    void unrenderCapture();

    HRESULT ole_;
    NewFrameWindow window_;
    std::vector<std::string> names_;
    std::optional<VideoDevice> selected_;
    bool grabberEnabled_ = false;
    std::vector<TIEVideoFormat> formats_;

    com::ComPtr<IGraphBuilder> graph_;
    com::ComPtr<ICaptureGraphBuilder2> builder_;
    com::ComPtr<IBaseFilter> source_;
    com::ComPtr<IBaseFilter> intermediate_;  // grabber or colour converter between source and renderer
    com::ComPtr<IBaseFilter> renderer_;
    com::ComPtr<IBaseFilter> grabberFilter_;
    com::ComPtr<ISampleGrabber> grabber_;
    com::ComPtr<GrabberCallback> callback_;
    com::ComPtr<IAMStreamConfig> streamConfig_;
    std::vector<std::uint8_t> sample_;
};

}  // namespace orvix::dshow
