#include "capture/capture_controller.h"

#include <exception>
#include <utility>

#include "capture/capture_texts.h"
#include "encoding/base64.h"
#include "encoding/byte_sink.h"
#include "encoding/jpeg_encoder.h"
#include "pages/edit/resample.h"

namespace orvix {

std::string HiddenList::at(int index) const {
    if (index < 0 || index >= count()) return {};
    return items[static_cast<std::size_t>(index)];
}

CaptureController::CaptureController(TmyOrvixCamFrame& frame, Shell& shell, MessagePump& pump,
                                     std::unique_ptr<CaptureDevice> device)
    : frame_(frame), shell_(shell), pump_(pump), device_(std::move(device)) {
    device_->setNewFrameHandler([this] { Img1DShowNewFrame(); });
    // Showing a page stops a running preview first.
    frame_.beforeShowPage = [this] {
        if (device_->isConnected()) stopPreview();
    };
}

CaptureController::~CaptureController() {
    frame_.beforeShowPage = nullptr;
    device_->setNewFrameHandler(nullptr);
    try {
        device_->disconnect();
    } catch (...) {
    }
}

void CaptureController::pump(int times) {
    for (int i = 0; i < times; ++i) pump_.pumpPending();
}

void CaptureController::initCapture() {
    frame_.selectedWidth = 0;
    frame_.selectedHeight = 0;
    VideoSourceComboBox.clear();
    VideoFormatComboBox.clear();
    try {
        VideoSourceComboBox.items = device_->deviceNames();
        if (VideoSourceComboBox.items.empty()) {
            shell_.messageBox(texts::kNoDevice, texts::kCaptionError, mb::kNotice);
        } else {
            VideoSourceComboBox.setItemIndex(0);
            listFormats();
        }
    } catch (const std::exception&) {
        shell_.messageBox(texts::kDeviceReadFailed, texts::kCaptionError, mb::kNotice);
    }
}

void CaptureController::listFormats() {
    try {
        if (!device_->isConnected()) {
            // The first device bearing the chosen name.
            device_->selectDevice(VideoSourceComboBox.itemIndex, 0);
            device_->setGrabberEnabled(true);
            device_->connect();
        }
        VideoFormatComboBox.clear();
        for (int i = 0; i < device_->formatCount(); ++i) {
            const TIEVideoFormat f = device_->formatAt(i);
            VideoFormatComboBox.items.push_back(f.subtypeName + " " + std::to_string(f.outputMaxWidth) + "x" +
                                                std::to_string(f.outputMaxHeight));
        }
    } catch (...) {
        device_->disconnect();
        throw;
    }
    device_->disconnect();
    if (VideoFormatComboBox.count() > 0) VideoFormatComboBox.setItemIndex(0);
}

void CaptureController::VideoFormatComboBoxChange() {
    const TIEVideoFormat f = device_->formatAt(VideoFormatComboBox.itemIndex);
    frame_.selectedWidth = f.outputMaxWidth;
    frame_.selectedHeight = f.outputMaxHeight;
}

bool CaptureController::setCurrentCamIndex(int idx) {
    try {
        VideoSourceComboBox.setItemIndex(idx);
        listFormats();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool CaptureController::setCurrentCamFormat(int idx) {
    try {
        VideoFormatComboBox.setItemIndex(idx);
        VideoFormatComboBoxChange();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

void CaptureController::stopPreview() {
    pump(2);
    device_->stopWhenReady();
    pump(2);
    device_->disconnect();
    pump(2);
    device_->setGrabberEnabled(false);
    pump(1);
}

bool CaptureController::startCam() {
    try {
        stopPreview();
        pump(1);
        if (!device_->isConnected()) {
            const int current = VideoSourceComboBox.itemIndex;
            const std::string name = VideoSourceComboBox.at(current);
            // Identical cameras share a name: count the ones listed before.
            int instance = 0;
            for (int i = 0; i < current; ++i) {
                if (VideoSourceComboBox.items[static_cast<std::size_t>(i)] == name) ++instance;
            }
            device_->selectDevice(current, instance);
            device_->setGrabberEnabled(true);
            device_->connect();
            pump(2);
            const TIEVideoFormat f = device_->formatAt(VideoFormatComboBox.itemIndex);
            device_->disconnect();
            pump(2);
            device_->connect();
            pump(1);
            device_->applyFormat(f.outputMaxWidth, f.outputMaxHeight, f.subtypeName);
            pump(2);
            pump_.sleep(50);
            pump(2);
            pump_.sleep(50);
            pump(2);
            device_->run();
            pump(1);
        }
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

bool CaptureController::stopCam() {
    stopPreview();
    return true;
}

void CaptureController::resampleToCaptureSize() {
    if (frame_.selectedWidth > 0 && frame_.selectedHeight > 0) {
        frame_.Img1.image = resampleNearest(frame_.Img1.image, frame_.selectedWidth, frame_.selectedHeight);
    }
}

void CaptureController::Img1DShowNewFrame() {
    device_->grabFrame(frame_.Img1.image);
    if (frame_.selectedWidth > 0 && frame_.selectedHeight > 0) {
        resampleToCaptureSize();
    } else {
        frame_.Img1.autoFit = true;
    }
    if (frame_.Img1.autoFit) frame_.Img1.fit();
    if (updateView) updateView();
    pump_.pumpPending();
}

bool CaptureController::capCurrentPicture() {
    try {
        PageStrip& strip = frame_.ImageEnMView1;
        const int page = strip.append();
        device_->grabFrame(frame_.Img1.image);
        resampleToCaptureSize();
        strip.setImage(page, frame_.Img1.image);
        frame_.updateCountLabel();
    } catch (...) {
        pump_.pumpPending();
        throw;
    }
    pump_.pumpPending();
    return true;
}

std::string CaptureController::getCurrentFrame() {
    if (!device_->isConnected()) return {};
    try {
        device_->grabFrame(frame_.Img1.image);
        resampleToCaptureSize();
        VectorSink jpeg;
        encodeJpeg(frame_.Img1.image, frame_.Img1.record, jpeg);
        pump_.pumpPending();
        return encodeBase64(jpeg.bytes());
    } catch (const std::exception&) {
        return {};
    }
}

}  // namespace orvix
