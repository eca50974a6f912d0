#pragma once
// The frame's camera logic: the camera and format lists, the live preview in
// the main view, capturing the current frame as a page and grabbing it for
// getCurrentFrame. It attaches to the frame for its lifetime (the frame's
// before-show step stops the preview) and owns the capture device.
//
// Everything runs on the user-interface thread. The start and stop sequences
// pump messages at fixed points, so new-frame notifications (the preview
// handler) may run inside them.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "capture/capture_device.h"
#include "ui/frame.h"
#include "ui/message_pump.h"
#include "ui/shell.h"

namespace orvix {

// A hidden drop-down list: items and a selected index. An index outside the
// items leaves no selection (-1); clearing the items does too.
struct HiddenList {
    std::vector<std::string> items;
    int itemIndex = -1;

    int count() const { return static_cast<int>(items.size()); }
    void setItemIndex(int index) { itemIndex = index >= 0 && index < count() ? index : -1; }
    void clear() {
        items.clear();
        itemIndex = -1;
    }
    // "" outside the items.
    std::string at(int index) const;
};

class CaptureController {
public:
    CaptureController(TmyOrvixCamFrame& frame, Shell& shell, MessagePump& pump,
                      std::unique_ptr<CaptureDevice> device);
    ~CaptureController();
    CaptureController(const CaptureController&) = delete;
    CaptureController& operator=(const CaptureController&) = delete;

    HiddenList VideoSourceComboBox;  // camera names; equal names are separate devices
    HiddenList VideoFormatComboBox;  // "YUY2 640x480" per capability of the current camera
    // Repaints the main view after a preview frame; the window sets it.
    std::function<void()> updateView;

    // Once, when the control is created: lists the cameras and the first
    // camera's formats; tells the user when there is none or listing failed.
    void initCapture();
    // Lists the formats of the current camera (of the running one while the
    // preview runs), which ends any running preview.
    void listFormats();
    void VideoSourceComboBoxChange() { listFormats(); }
    // Records the current format's size as the capture size; throws when there
    // is no current format.
    void VideoFormatComboBoxChange();

    int camCount() const { return VideoSourceComboBox.count(); }
    std::string getCamName(int idx) const { return VideoSourceComboBox.at(idx); }
    int getCurrentCamSupportFormatCount() const { return VideoFormatComboBox.count(); }
    std::string getCurrentCamSupportFormatName(int idx) const { return VideoFormatComboBox.at(idx); }
    // False instead of an exception.
    bool setCurrentCamIndex(int idx);
    bool setCurrentCamFormat(int idx);
    bool startCam();
    // Exceptions reach the caller.
    bool stopCam();
    bool capCurrentPicture();
    // The current frame as JPEG (the main view's record), Base64; "" when no
    // graph exists or anything fails.
    std::string getCurrentFrame();

    // The stop sequence; safe when nothing runs.
    void stopPreview();
    // The new-frame handler: the latest sample into the main view, stretched
    // to the capture size.
    void Img1DShowNewFrame();

    CaptureDevice& device() { return *device_; }

private:
    void pump(int times);
    void resampleToCaptureSize();

    TmyOrvixCamFrame& frame_;
    Shell& shell_;
    MessagePump& pump_;
    std::unique_ptr<CaptureDevice> device_;
};

}  // namespace orvix
